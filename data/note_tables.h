#pragma once
// The two tables of the data file QLY: current notes and archived notes, with their keys.
//
//   notes     "QLY\!notes"     SNO:SNOT (REMINDER, REMINDERDATE, TOPIC), SNO:MAINKEY (TOPIC,
//                              NOTEDATE), SNO:ALLNOTES (NOTEDATE), SNO:DONYET (DONE, REMINDERDATE;
//                              newest NOTEDATE first among equals)
//   Arcnotes  "qly\!Arcnotes"  ARC:SNOT (REMINDER, REMINDERDATE, TOPIC), ARC:ALLNOTES (NOTEDATE)
//
// Both data-file parts name the one file; both tables are created when missing.

#include "data/note_record.h"
#include "store/table_def.h"

namespace qly {

// Keys by position in their table's declaration.
enum NotesKey { SnoSnot, SnoMainKey, SnoAllNotes, SnoDonYet };
enum ArchiveKey { ArcSnot, ArcAllNotes };

const store::TableDef& notesTableDef();
const store::TableDef& archiveTableDef();

} // namespace qly
