#include "ui/date_text.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace qly {

QString shortDateText(DayCount day)
{
    return day > 0 ? QLocale().toString(toQDate(day), QLocale::ShortFormat) : QString();
}

std::optional<DayCount> parseShortDate(const QString& text, DayCount today)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return DayCount(0);
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    const bool twoDigitYears = !format.contains(QLatin1String("yyyy"));
    if (twoDigitYears) {
        // A four-digit year typed into the short form is taken as it is.
        const QDate full = locale.toDate(typed, QString(format).replace(QLatin1String("yy"), QLatin1String("yyyy")));
        if (full.isValid() && full.year() >= 1000)
            return fromQDate(full);
    }
    QDate date = locale.toDate(typed, format);
    if (!date.isValid())
        return std::nullopt;
    if (twoDigitYears) {
        const int first = toQDate(today).year() - 80;
        int year = date.year() % 100 + first / 100 * 100;
        if (year < first)
            year += 100;
        date = QDate(year, date.month(), date.day());
        if (!date.isValid()) // 29 February in a century that has none
            return std::nullopt;
    }
    const DayCount day = fromQDate(date);
    if (day <= 0)
        return std::nullopt;
    return day;
}

} // namespace qly
