#pragma once
// What the window tests share: a settings file in a temporary configuration folder, a fixed set
// of screens, a note window with a few controls, and clicks that go through the window system
// the way a user's do (so that a window blocked by a modal one does not get them).

#include "settings/settings_file.h"
#include "ui/procedure_window.h"
#include "ui/screens.h"
#include "support/temp_settings.h"

#include <QTemporaryDir>

class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace qly::test {

class FixedScreens final : public ScreenSource
{
public:
    explicit FixedScreens(QList<QRect> screens) : m_screens(std::move(screens)) {}
    QList<QRect> availableGeometries() const override { return m_screens; }

private:
    QList<QRect> m_screens;
};

// A note window: a topic field with a status text and help keyword, OK and Cancel that close
// it, and a Help button. Its body is 200 x 100 dialog units.
class NoteWindow : public ProcedureWindow
{
public:
    NoteWindow(const WindowServices& services, Thread& thread, QWidget* caller,
               const QString& procedure = QStringLiteral("UpdateSNotes"),
               Sizing sizing = Sizing::Resizable);

    QLineEdit* topic;
    QLineEdit* details;
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* help;
};

// Closes every procedure window and message box a test left open and waits until every
// spawned procedure has finished, so that none outlives what the test gave it.
bool finishEveryProcedure();
// Clicks the middle of widget through its window, as the mouse would.
void clickAsUser(QWidget* widget);
// Shows window and waits until it is the active window.
bool showActive(QWidget* window);
// The anchor name of the topic at the top of the visible part of browser.
QString topicInView(const QTextBrowser* browser);

} // namespace qly::test
