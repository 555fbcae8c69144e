#pragma once
// The program's main routine: the process-wide services set up in a fixed order, the main window
// run until the user closes it, then everything undone in the reverse order.
//
//   name the help file "notes.hlp", initialise the error manager, set up the table managers,
//   open the settings file "QLY3.INI", switch the desktop's drag option off if it was on,
//   run Main; then switch the drag option back on if it was on, close the settings file, tear
//   down the table managers, release the error manager.
//
// A fatal message ends the process at once, so nothing after it runs. The steps are an
// interface so that the order itself can be checked.

#include <QString>

#include <qcoro/qcorotask.h>

namespace qly {

// The desktop's "show window contents while dragging" option. Linux desktops have no such
// switch, so the program's implementation reports it off and never changes anything.
class DragOption
{
public:
    virtual ~DragOption() = default;
    virtual bool isOn() const = 0;
    virtual void set(bool on) = 0; // writes the user's profile and tells every window
};

class NoDragOption final : public DragOption
{
public:
    bool isOn() const override { return false; }
    void set(bool) override {}
};

class MainRoutineSteps
{
public:
    virtual ~MainRoutineSteps() = default;
    virtual void nameHelpFile(const QString& fileName) = 0;
    virtual void initErrorManager() = 0;
    virtual void setUpTableManagers() = 0;
    virtual void openSettings(const QString& fileName) = 0;
    virtual DragOption& dragOption() = 0;
    virtual QCoro::Task<> runMainWindow() = 0;
    virtual void closeSettings() = 0;
    virtual void tearDownTableManagers() = 0;
    virtual void releaseErrorManager() = 0;
};

QCoro::Task<> runMainRoutine(MainRoutineSteps& steps);

} // namespace qly
