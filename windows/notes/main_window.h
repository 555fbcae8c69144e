#pragma once
// The main notes window, procedure "Main": the notes under four tabs, each with its own order
// and filter, type-ahead by topic, and the buttons that start every other window.
//
// Start-up runs it once with no request and the program ends when it closes. Its own topic
// check runs a second copy in select mode, as a pick list: that copy ends Completed with the
// chosen note in the thread's notes buffer, or Cancelled. A copy run with the view request lists
// the notes and calls nothing.
//
// The windows it starts that are built elsewhere (the note form, the one-note report, the query
// form and report, the archive window) reach it as NoteProcedures; one that is missing leaves
// its button in place, enabled as it would be, starting nothing.

#include "core/dates.h"
#include "core/request.h"
#include "ui/procedure_window.h"

#include <functional>
#include <QPointer>
#include <QString>
#include <QStringList>

class QPrinter;

namespace qly {

class DocumentOpener;
class MessagePresenter;
class Thread;

// A window run on the caller's thread with a request while the caller waits.
using NoteProcedure = std::function<QCoro::Task<Response>(Thread&, Request, QPointer<QWidget>)>;

struct NoteProcedures
{
    NoteProcedure updateNote; // the note form: insert, change or delete the buffer's note
    NoteProcedure printNote;  // the one-note report: process the buffer's note
    std::function<void(QPointer<QWidget>)> findBy;      // the query form
    std::function<void(QPointer<QWidget>)> printFindBy; // the query report
    std::function<void()> viewArchive;                  // the archive window, on its own thread
};

struct MainServices
{
    WindowServices windows;
    MessagePresenter* presenter = nullptr; // the About window's information box
    DocumentOpener* documents = nullptr;   // "Email Support"; none: nothing opens
    QPrinter* printer = nullptr;           // "&Printer Setup"; none: the command does nothing
    QString supportAddress;                // behind "mailto:"
    bool opensOnReminders = false;         // "/CR" on the command line
    NoteProcedures procedures;
};

// Whether the command line asks to open on "Current Reminders": "/CR" in any case.
bool opensOnReminders(const QStringList& arguments);

// "mailto:" + address + "?subject=QLY4".
QString supportMailLink(const QString& address);

// The icon before a reminder date: 1 (the check mark) from any past day up to and including
// today + 3, 0 after that and when there is no date. Whether the note is done plays no part.
int reminderIcon(DayCount reminderDate, DayCount today);

// The type-ahead text holds at most this many characters.
inline constexpr int typeAheadLimit = 39;

// Runs Main on thread with request (None, Select or View), modal to caller when there is one.
QCoro::Task<Response> mainNotes(MainServices services, Thread& thread, Request request,
                                QPointer<QWidget> caller);

} // namespace qly
