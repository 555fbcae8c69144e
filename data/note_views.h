#pragma once
// The main window's four lists: each tab's key, the order appended after it, its filter, and the
// component type-ahead moves by.

#include "data/note_tables.h"

#include <array>

namespace qly {

struct TabOrder
{
    const char* caption;
    NotesKey key;
    const char* appendedOrder; // empty for none
    const char* filter;        // empty for none
};

enum MainTab { NotesOnlyTab, CurrentRemindersTab, DoneItemsTab, EverythingTab };

// In tab order: "Notes Only", "Current Reminders", "Done Items", "Everything".
const std::array<TabOrder, 4>& mainTabOrders();

} // namespace qly
