#pragma once
// A fresh world for a test of the windows over the notes: dates in the United States' short form,
// a fixed today, an empty working folder (where QLY.db is made) and settings file, the error
// manager with the program's messages shown through the test's presenter (a fatal message is
// recorded instead of ending the test), the note managers, and the data file with both tables,
// empty. Everything is undone, in the reverse order, when the object goes.

#include "core/clock.h"
#include "errors/error_manager.h"
#include "support/temp_settings.h"
#include "support/temp_workdir.h"

#include <QDate>
#include <QList>
#include <QLocale>

namespace qly {
class Record;
}

namespace qly::test {

class NotesWorld
{
public:
    NotesWorld(QDate today, MessagePresenter& presenter);
    ~NotesWorld();
    NotesWorld(const NotesWorld&) = delete;
    NotesWorld& operator=(const NotesWorld&) = delete;

    TempSettings& settings() { return m_settings; }
    ErrorManager& errors() { return m_errors; }
    // Adds note to the notes table from a thread of its own; its row id, 0 when that failed.
    qint64 store(const Record& note);
    // The exit codes the program would have ended with.
    const QList<int>& terminated() const { return m_terminated; }

private:
    QLocale m_locale;
    FixedClock m_clock;
    TempWorkdir m_folder;
    TempSettings m_settings;
    QList<int> m_terminated;
    ErrorManager m_errors;
};

} // namespace qly::test
