#include "data/note_views.h"

namespace qly {

const std::array<TabOrder, 4>& mainTabOrders()
{
    // Notes Only: not done and no reminder date. Current Reminders: not done, with a reminder
    // date no later than three days from today (overdue ones stay). Done Items: done, newest
    // note first among equal reminder dates. Everything: every note.
    static const std::array<TabOrder, 4> tabs = {{
        {"Notes Only", SnoSnot, "", "(sno:done ='N' and sno:reminderdate='')"},
        {"Current Reminders", SnoAllNotes, "",
         "(sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N')"},
        {"Done Items", SnoDonYet, "-sno:notedate", "(sno:done='Y')"},
        {"Everything", SnoMainKey, "sno:NOTEDATE", ""},
    }};
    return tabs;
}

} // namespace qly
