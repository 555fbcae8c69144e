#pragma once
// The About window, procedure "about": names the product and its version; its icon button shows
// the build information in a plain message box. The main window's "&About" starts one with
// startAbout() on a Thread of its own and does not wait, so several can be open at once, each
// closing on its own. It reads no tables and changes nothing outside itself; its placement is
// kept in the settings section "about".

#include "core/dates.h"
#include "core/request.h"
#include "ui/procedure_window.h"

#include <QString>

namespace qly {

class MessagePresenter;
struct MessageBoxSpec;
class Thread;

// The internal project name shown after "App: ": an 8-character text, blank-padded. The main
// window sets it once when it opens, before any About window exists.
inline constexpr int projectNameWidth = 8;
void setProjectName(const QString& name);
QString projectName(); // always projectNameWidth characters

inline constexpr DayCount buildDay = 74189; // 11 February 2004
inline constexpr int buildNumber = 440;

// The box the icon button shows: "Info:", no icon, OK, and the lines "App: ", "Date: " (the
// build day in the desktop's short date form) and "Build: ".
MessageBoxSpec buildInformation();

// Runs one About window on thread until "Close" or its close box ends it (both Cancelled).
// presenter shows the build information box; it and services outlive every procedure.
QCoro::Task<Response> about(WindowServices services, MessagePresenter* presenter, Thread& thread);

// Starts an About window detached on a new Thread, which lives as long as its procedure.
void startAbout(WindowServices services, MessagePresenter* presenter);

} // namespace qly
