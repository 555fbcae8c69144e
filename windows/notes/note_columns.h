#pragma once
// The columns a list of notes shows, and where its scroll bar's thumb stands, for the main
// window's tabs.
//
//   "Reminder Date"  50 units, right  the short date, blank without one, after the check mark
//                                     from any past day up to and including today + 3
//   "NoteDate"       39 units, left   the short date
//   "Topic"          80 units, left   the topic
//   "Main Memo"     140 units, left   the memo's first 255 characters on one line

#include "data/note_views.h"
#include "ui/list_model.h"

#include <memory>
#include <vector>

namespace qly {

std::vector<ListColumn> noteColumns();
// By the topic where the topic leads the tab's order, else by the date that does.
std::unique_ptr<ListScale> noteListScale(MainTab tab);

} // namespace qly
