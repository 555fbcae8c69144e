#include "windows/edit/popup_calendar.h"

namespace qly {

QCoro::Task<std::optional<DayCount>> popupCalendar(WindowServices services,
                                                   MessagePresenter* presenter, Thread& thread,
                                                   DayCount start, QPointer<QWidget> caller)
{
    (void)services;
    (void)presenter;
    (void)thread;
    (void)start;
    (void)caller;
    co_return std::nullopt;
}

} // namespace qly
