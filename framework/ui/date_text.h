#pragma once
// Dates as the user reads and types them: the desktop's short date form (QLocale), blank for
// no date (day 0).
//
// Typing accepts the short form with a two- or four-digit year; a two-digit year falls in the
// hundred years from eighty years before today's year. An empty text is no date; anything that
// is not a date is refused (nothing).

#include "core/dates.h"

#include <optional>
#include <QString>

namespace qly {

QString shortDateText(DayCount day);
std::optional<DayCount> parseShortDate(const QString& text, DayCount today);

} // namespace qly
