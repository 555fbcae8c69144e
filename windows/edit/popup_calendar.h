#pragma once
// The pop-up calendar, procedure "PopupCalendar": a month grid the note form opens to pick a
// reminder date with one click.

#include "core/dates.h"
#include "ui/procedure_window.h"

#include <optional>
#include <QPointer>

namespace qly {

class MessagePresenter;
class Thread;

// Shows the month of start (today's when start is 0) modal to caller and resolves with the day
// clicked, or with nothing when the user leaves without a pick (Esc, the right mouse button,
// the close box): the caller then keeps the date it had. presenter shows the "Date Out Of
// Range" boxes.
QCoro::Task<std::optional<DayCount>> popupCalendar(WindowServices services,
                                                   MessagePresenter* presenter, Thread& thread,
                                                   DayCount start, QPointer<QWidget> caller);

} // namespace qly
