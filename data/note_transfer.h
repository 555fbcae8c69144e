#pragma once
// Moving notes in and out of the data file as JSON Lines, and checking the file: the work of
// the quillary-data tool, kept here so that it runs on the same store code as the program.
//
// One note per line, keys in stored order: topic, reminder, notedate, reminderdate, mainmemo,
// done, url, emailaddress. Text without its padding blanks; dates as "YYYY-MM-DD" or null.

#include "store/record.h"
#include "store/table_def.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace qly {

// One JSON Lines line (without the line break) for a record.
QByteArray recordToJsonLine(const Record& record);
// Fills record from one line; an error text when the line is not a note of this layout.
std::optional<QString> recordFromJsonLine(const QByteArray& line, Record& record);

struct TransferOutcome
{
    qint64 count = 0;  // notes written
    QString error;     // empty on success
    bool ok() const { return error.isEmpty(); }
};

// What to export: every record in the order added, or the records of a key's order (with an
// appended order it keeps) through a filter, as a view shows them.
struct ExportSelection
{
    QString key;      // the key by name or description ("sno:SNOT"); empty for the order added
    QString order;    // appended order, such as "-sno:notedate"
    QString filter;   // a filter expression
};

// Writes the selected records of the table in the current folder's data file.
TransferOutcome exportTable(const store::TableDef& def, QIODevice& out, const ExportSelection& selection = {});
// Adds every line of in to the table in one transaction; on a bad line nothing is written and
// the error names the line. Creates the data file and table when missing.
TransferOutcome importTable(const store::TableDef& def, QIODevice& in);
// Problems SQLite's integrity check and the key definitions show; empty when sound.
QStringList checkDataFile(const std::vector<const store::TableDef*>& defs, QString* error);

} // namespace qly
