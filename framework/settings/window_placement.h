#pragma once
// Where a window procedure's window was when it last closed, kept in the settings section named
// after the procedure ("Main", "UpdateSNotes", ...):
//
//   Maximize = Yes | No
//   XPos, YPos       frame position in pixels     (written only when not maximized)
//   Width, Height    client size in pixels        (written only for a resizable window that is
//                                                  not maximized)
//
// ProcedureWindow reads it when the window opens and writes it when it closes. Reading
// validates each key on its own and gives the default for any that is missing or unusable, so
// a damaged file can never produce a window that cannot be seen or grabbed. This file knows no
// widgets: the screens come in as rectangles.

#include <optional>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QString;

namespace qly {

class SettingsFile;

enum class Sizing
{
    Fixed,
    Resizable
};

struct WindowPlacement
{
    bool maximized = false;
    std::optional<QPoint> position; // none: the window system's default place
    QSize size;                     // the saved size, or the default size
};

struct PlacementRules
{
    Sizing sizing = Sizing::Resizable;
    QSize defaultSize;    // pixels: used for a fixed window and for unusable sizes
    QList<QRect> screens; // available geometry of every screen, in pixels
};

// A saved width or height is used only when at least 1 and no larger than the rectangle that
// holds every screen. A saved position is used only when at least a 48 by 24 pixel piece of
// the window's top edge (where its title bar is) lies on one screen; a window smaller than that
// must have its whole top strip on a screen.
inline constexpr int placementGripWidth = 48;
inline constexpr int placementGripHeight = 24;

WindowPlacement readPlacement(const SettingsFile& settings, const QString& section,
                              const PlacementRules& rules);
void writePlacement(SettingsFile& settings, const QString& section, Sizing sizing,
                    const WindowPlacement& placement);

} // namespace qly
