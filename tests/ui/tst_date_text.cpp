// Dates as the user reads and types them, in the United States' short form.

#include "ui/date_text.h"

#include <QDate>
#include <QLocale>
#include <QTest>

using namespace qly;

class DateTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_locale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup() { QLocale::setDefault(m_locale); }

    void typedDates_data();
    void typedDates();
    void shownDates();

private:
    QLocale m_locale;
};

void DateTextTest::typedDates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("date"); // none: no date, or refused
    QTest::addColumn<bool>("refused");
    QTest::newRow("nothing: no date") << "" << QDate() << false;
    QTest::newRow("blanks: no date") << "   " << QDate() << false;
    QTest::newRow("two-digit year this century") << "12/20/26" << QDate(2026, 12, 20) << false;
    QTest::newRow("two-digit year last century") << "7/4/76" << QDate(1976, 7, 4) << false;
    QTest::newRow("the first of the hundred years") << "1/1/46" << QDate(1946, 1, 1) << false;
    QTest::newRow("the last of the hundred years") << "12/31/45" << QDate(2045, 12, 31) << false;
    QTest::newRow("leap day of 2000 in two digits") << "2/29/00" << QDate(2000, 2, 29) << false;
    QTest::newRow("four-digit year") << "3/15/1850" << QDate(1850, 3, 15) << false;
    QTest::newRow("blanks around") << " 1/2/27 " << QDate(2027, 1, 2) << false;
    QTest::newRow("no leap day in 2001") << "2/29/01" << QDate() << true;
    QTest::newRow("no month 13") << "13/45/26" << QDate() << true;
    QTest::newRow("words") << "tomorrow" << QDate() << true;
    QTest::newRow("before the first day") << "1/1/1700" << QDate() << true;
}

void DateTextTest::typedDates()
{
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    QFETCH(bool, refused);
    const std::optional<DayCount> day = parseShortDate(typed, fromQDate(QDate(2026, 12, 11)));
    if (refused) {
        QVERIFY2(!day, qPrintable(QString::number(day.value_or(0))));
    } else if (date.isNull()) {
        QCOMPARE(day, std::optional<DayCount>(0));
    } else {
        QVERIFY(day);
        QCOMPARE(toQDate(*day), date);
    }
}

void DateTextTest::shownDates()
{
    QCOMPARE(shortDateText(0), QString());
    QCOMPARE(shortDateText(fromQDate(QDate(2026, 12, 20))), QStringLiteral("12/20/26"));
    // What is shown reads back as the same day.
    const DayCount day = fromQDate(QDate(2004, 2, 29));
    QCOMPARE(parseShortDate(shortDateText(day), fromQDate(QDate(2026, 12, 11))),
             std::optional<DayCount>(day));
}

int runDateTextTests(int argc, char** argv)
{
    DateTextTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_date_text.moc"
