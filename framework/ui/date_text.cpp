#include "ui/date_text.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace qly {

namespace {

// Which of the short form's day, month and year fields is the year, counting from 0; -1 when
// the form has no two-digit year.
int twoDigitYearField(const QString& format)
{
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return -1;
    static const QRegularExpression fields(QStringLiteral("d+|M+|y+"));
    int index = 0;
    for (auto it = fields.globalMatch(format); it.hasNext(); ++index) {
        if (it.next().captured().startsWith(u'y'))
            return index;
    }
    return -1;
}

} // namespace

QString shortDateText(DayCount day)
{
    return day > 0 ? QLocale().toString(toQDate(day), QLocale::ShortFormat) : QString();
}

std::optional<DayCount> parseShortDate(const QString& text, DayCount today)
{
    QString typed = text.trimmed();
    if (typed.isEmpty())
        return DayCount(0);
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    const int yearField = twoDigitYearField(format);
    if (yearField >= 0) {
        // The year is read in four digits: a two-digit one falls in the hundred years from
        // eighty years before today's, so "2/29/00" is a leap day.
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        static const QRegularExpression numbers(QStringLiteral("\\d+"));
        int index = 0;
        for (auto it = numbers.globalMatch(typed); it.hasNext(); ++index) {
            const QRegularExpressionMatch number = it.next();
            if (index != yearField || number.capturedLength() > 2)
                continue;
            const int first = toQDate(today).year() - 80;
            int year = number.captured().toInt() + first / 100 * 100;
            if (year < first)
                year += 100;
            typed.replace(number.capturedStart(), number.capturedLength(), QString::number(year));
            break;
        }
    }
    const QDate date = locale.toDate(typed, format);
    if (!date.isValid())
        return std::nullopt;
    const DayCount day = fromQDate(date);
    if (day <= 0)
        return std::nullopt;
    return day;
}

} // namespace qly
