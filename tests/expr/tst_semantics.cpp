// What filters mean, checked on real records by both evaluators: the C++ test of a record and
// the compiled SQL run against a real notes table holding the same record.

#include "expr_fixture.h"

#include <QTest>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

namespace {
const QString kDueSoon =
    QStringLiteral("(sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N')");
const QString kNoReminder = QStringLiteral("(sno:done ='N' and sno:reminderdate='')");
const QString kDone = QStringLiteral("(sno:done='Y')");
constexpr DayCount kDay = 74189;
} // namespace

class SemanticsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_table.setupError().isEmpty(), qPrintable(m_table.setupError()));
    }
    void init() { m_table.clear(); }

    void reminderFilters_data();
    void reminderFilters() { check(); }
    void text_data();
    void text() { check(); }
    void numbersDatesAndText_data();
    void numbersDatesAndText() { check(); }
    void valuesAsConditions_data();
    void valuesAsConditions() { check(); }

private:
    static void columns()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<Note>("note");
        QTest::addColumn<bool>("picked");
    }
    void check();

    NoteTable m_table;
};

void SemanticsTest::check()
{
    QFETCH(QString, filter);
    QFETCH(Note, note);
    QFETCH(bool, picked);
    const Result<Filter> bound = parseFilter(filter, notesLayout());
    QVERIFY2(bound.ok(), qPrintable(bound.ok() ? QString() : bound.error().message));
    const Record record = recordOf(note);

    QCOMPARE(bound.value().matches(record, testToday()), picked);

    QVERIFY(m_table.add(record));
    const SqlFilter sql = bound.value().toSql(testToday());
    const std::optional<std::vector<int>> rows = m_table.select(sql);
    QVERIFY2(rows, qPrintable(m_table.lastError() + u'\n' + sql.sql));
    QVERIFY2(!rows->empty() == picked, qPrintable(sql.sql));
}

void SemanticsTest::reminderFilters_data()
{
    columns();
    const DayCount today = testToday();
    QTest::newRow("reminder today+3 is due")
        << kDueSoon << Note{.done = "N", .reminderDate = today + 3} << true;
    QTest::newRow("reminder today+4 is not due yet")
        << kDueSoon << Note{.done = "N", .reminderDate = today + 4} << false;
    QTest::newRow("reminder today is due")
        << kDueSoon << Note{.done = "N", .reminderDate = today} << true;
    QTest::newRow("overdue reminder is kept")
        << kDueSoon << Note{.done = "N", .reminderDate = today - 40} << true;
    QTest::newRow("no reminder date is never due") << kDueSoon << Note{.done = "N"} << false;
    QTest::newRow("a done note is not due")
        << kDueSoon << Note{.done = "Y", .reminderDate = today} << false;
    QTest::newRow("done flag n is not N")
        << kDueSoon << Note{.done = "n", .reminderDate = today} << false;
    QTest::newRow("no reminder date equals ''") << kNoReminder << Note{.done = "N"} << true;
    QTest::newRow("a reminder date is not ''")
        << kNoReminder << Note{.done = "N", .reminderDate = today} << false;
    QTest::newRow("blank done flag is not N") << kNoReminder << Note{} << false;
    QTest::newRow("done note") << kDone << Note{.done = "Y"} << true;
    QTest::newRow("done flag y is not Y") << kDone << Note{.done = "y"} << false;
    QTest::newRow("blank done flag is not done") << kDone << Note{} << false;
    QTest::newRow("filter and condition joined")
        << "((sno:done='Y')) AND (UPPER(sno:TOPIC) = 'ABC')" << Note{.topic = "abc", .done = "Y"}
        << true;
}

void SemanticsTest::text_data()
{
    columns();
    QTest::newRow("trailing blanks of a literal are ignored")
        << "sno:topic = 'abc   '" << Note{.topic = "abc"} << true;
    QTest::newRow("trailing blanks of a field are ignored")
        << "sno:topic = 'abc'" << Note{.topic = "abc   "} << true;
    QTest::newRow("leading blanks count") << "sno:topic = ' abc'" << Note{.topic = "abc"} << false;
    QTest::newRow("a blank literal equals an empty field") << "sno:url = '   '" << Note{} << true;
    QTest::newRow("case matters without UPPER")
        << "sno:topic = 'ABC'" << Note{.topic = "abc"} << false;
    QTest::newRow("case matters in NOT =")
        << "sno:topic NOT = 'ABC'" << Note{.topic = "abc"} << true;
    QTest::newRow("UPPER ignores case")
        << "UPPER(sno:TOPIC) = 'ABC'" << Note{.topic = "aBc"} << true;
    QTest::newRow("UPPER of a literal")
        << "sno:topic = UPPER('émile ')" << Note{.topic = "ÉMILE"} << true;
    QTest::newRow("UPPER upper-cases accents: émile is ÉMILE")
        << "UPPER(sno:TOPIC) = 'ÉMILE'" << Note{.topic = "émile"} << true;
    QTest::newRow("accents differ without UPPER: émile is not Émile")
        << "sno:topic = 'Émile'" << Note{.topic = "émile"} << false;
    QTest::newRow("UPPER keeps accents: émile is not EMILE")
        << "UPPER(sno:topic) = 'EMILE'" << Note{.topic = "émile"} << false;
    QTest::newRow("UPPER of ß is SS")
        << "UPPER(sno:topic) = 'STRASSE'" << Note{.topic = "straße"} << true;
    QTest::newRow("upper case sorts before lower case")
        << "sno:topic < 'a'" << Note{.topic = "Z"} << true;
    QTest::newRow("é sorts after z by code point")
        << "sno:topic > 'z'" << Note{.topic = "é"} << true;
    QTest::newRow("emoji sorts after fullwidth letters")
        << QStringLiteral("sno:topic > 'ｚ'") << Note{.topic = QStringLiteral("😀")} << true;
    QTest::newRow("a prefix sorts first") << "sno:topic < 'abc'" << Note{.topic = "ab"} << true;
    QTest::newRow("text after a NUL counts")
        << QStringLiteral("sno:topic < 'a") + QChar(u'\0') + QStringLiteral("b'")
        << Note{.topic = "a"} << true;
    QTest::newRow("quote inside text") << "sno:topic = 'it''s'" << Note{.topic = "it's"} << true;
    QTest::newRow("Contains finds the part")
        << "CONTAINS(UPPER(sno:TOPIC),'ABC')" << Note{.topic = "xxabcxx"} << true;
    QTest::newRow("Contains is case-sensitive")
        << "CONTAINS(sno:topic, 'b')" << Note{.topic = "ABC"} << false;
    QTest::newRow("Contains with an empty part holds")
        << "CONTAINS(sno:mainmemo, '')" << Note{} << true;
    QTest::newRow("Begins with an empty start holds on an empty field")
        << "BEGINS(sno:topic, sno:reminder)" << Note{} << true;
    QTest::newRow("Contains a longer part fails")
        << "CONTAINS(sno:topic, 'abcd')" << Note{.topic = "abc"} << false;
    QTest::newRow("Begins at the start")
        << "BEGINS(UPPER(sno:TOPIC),'ABC')" << Note{.topic = "abcdef"} << true;
    QTest::newRow("Begins not in the middle")
        << "BEGINS(UPPER(sno:TOPIC),'ABC')" << Note{.topic = "xabc"} << false;
    QTest::newRow("Begins part loses its trailing blanks")
        << "BEGINS(sno:topic, 'ab  ')" << Note{.topic = "abc"} << true;
    QTest::newRow("Begins with a field as the start")
        << "BEGINS(sno:mainmemo, sno:topic)" << Note{.topic = "Call", .memo = "Call Anna"} << true;
    QTest::newRow("Contains on a date reads its day count")
        << "CONTAINS(sno:notedate, '41')" << Note{.noteDate = 74189} << true;
}

void SemanticsTest::numbersDatesAndText_data()
{
    columns();
    QTest::newRow("UPPER of a date is its day count")
        << "UPPER(sno:NOTEDATE) = 74189" << Note{.noteDate = kDay} << true;
    QTest::newRow("UPPER of a date equals the same text")
        << "UPPER(sno:NOTEDATE) = '74189'" << Note{.noteDate = kDay} << true;
    QTest::newRow("UPPER of no date is 0") << "UPPER(sno:NOTEDATE) = 0" << Note{} << true;
    QTest::newRow("UPPER of no date is the text 0, not blank")
        << "UPPER(sno:NOTEDATE) = ''" << Note{} << false;
    QTest::newRow("text against text compares letters even when numeric")
        << "UPPER(sno:NOTEDATE) >= '100000'" << Note{.noteDate = kDay} << true;
    QTest::newRow("a date equals numeric text")
        << "sno:notedate = '74189.0'" << Note{.noteDate = kDay} << true;
    QTest::newRow("numeric text with leading blanks")
        << "sno:notedate = '  74189'" << Note{.noteDate = kDay} << true;
    QTest::newRow("numeric text with a sign") << "sno:notedate > '-1'" << Note{} << true;
    QTest::newRow("a date below a larger number")
        << "sno:notedate < 100000" << Note{.noteDate = kDay} << true;
    QTest::newRow("no date equals 0") << "sno:notedate = 0" << Note{} << true;
    QTest::newRow("a date compared with a non-number compares as text")
        << "sno:notedate < 'a'" << Note{.noteDate = kDay} << true;
    QTest::newRow("7 comes after 1 as text")
        << "sno:notedate > '1x'" << Note{.noteDate = kDay} << true;
    QTest::newRow("a text field as a number") << "sno:topic = 12" << Note{.topic = "12.0"} << true;
    QTest::newRow("leading zeros read as a number")
        << "sno:topic = 12" << Note{.topic = "012"} << true;
    QTest::newRow("a number beside letters is text")
        << "sno:topic = 12" << Note{.topic = "12abc"} << false;
    QTest::newRow("a blank field is 0") << "sno:url = 0" << Note{} << true;
    QTest::newRow("letters sort after digits against a number")
        << "sno:topic > 5" << Note{.topic = "abc"} << true;
    QTest::newRow("numeric text against a number in order")
        << "sno:topic < 100" << Note{.topic = "99"} << true;
    QTest::newRow("a number field against UPPER of a date")
        << "sno:topic = UPPER(sno:notedate)" << Note{.topic = "74189.00", .noteDate = kDay}
        << false;
    QTest::newRow("a date against a text field read as a number")
        << "sno:notedate = sno:topic" << Note{.topic = "74189.00", .noteDate = kDay} << true;
    QTest::newRow("days between two dates")
        << "sno:reminderdate - sno:notedate = 7" << Note{.reminderDate = kDay + 7, .noteDate = kDay}
        << true;
    QTest::newRow("a decimal added to a date")
        << "sno:notedate + 0.5 > 74189" << Note{.noteDate = kDay} << true;
    QTest::newRow("minus a date") << "-sno:notedate < -74188" << Note{.noteDate = kDay} << true;
    QTest::newRow("minus minus") << "- -sno:notedate = 74189" << Note{.noteDate = kDay} << true;
    QTest::newRow("today minus a date")
        << "today() - sno:notedate >= 0" << Note{.noteDate = testToday()} << true;
    QTest::newRow("UPPER of a sum")
        << "UPPER(sno:notedate + 0.25) = '74189.25'" << Note{.noteDate = kDay} << true;
}

void SemanticsTest::valuesAsConditions_data()
{
    columns();
    QTest::newRow("a set flag holds") << "sno:done" << Note{.done = "Y"} << true;
    QTest::newRow("a blank flag does not") << "sno:done" << Note{} << false;
    QTest::newRow("a set date holds") << "sno:reminderdate" << Note{.reminderDate = kDay} << true;
    QTest::newRow("no date does not") << "sno:reminderdate" << Note{} << false;
    QTest::newRow("NOT of a blank text") << "NOT sno:topic" << Note{} << true;
    QTest::newRow("zero difference is false")
        << "sno:notedate - sno:notedate" << Note{.noteDate = kDay} << false;
    QTest::newRow("values joined by AND")
        << "sno:topic AND sno:mainmemo" << Note{.topic = "a", .memo = "b"} << true;
    QTest::newRow("a blank literal is false") << "sno:topic = 'a' OR '  '" << Note{} << false;
    QTest::newRow("the text 0 is true") << "'0'" << Note{} << true;
    QTest::newRow("text holding a NUL is not blank")
        << QStringLiteral("'") + QChar(u'\0') + QStringLiteral("'") << Note{} << true;
    QTest::newRow("the number 0 is false") << "0" << Note{} << false;
}

int runSemanticsTests(int argc, char** argv)
{
    SemanticsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_semantics.moc"
