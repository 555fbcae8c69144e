#include "app/main_routine.h"

namespace qly {

QCoro::Task<> runMainRoutine(MainRoutineSteps& steps)
{
    steps.nameHelpFile(QStringLiteral("notes.hlp"));
    steps.initErrorManager();
    steps.setUpTableManagers();
    steps.openSettings(QStringLiteral("QLY3.INI"));
    DragOption& drag = steps.dragOption();
    const bool dragWasOn = drag.isOn();
    if (dragWasOn)
        drag.set(false);

    co_await steps.runMainWindow();

    if (dragWasOn)
        drag.set(true);
    steps.closeSettings();
    steps.tearDownTableManagers();
    steps.releaseErrorManager();
}

} // namespace qly
