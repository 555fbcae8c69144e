// Where the scroll bar puts a row: topics by their first letters, dates by the day, each between
// the list's first and last rows, and back from a place on the bar to key values.

#include "data/note_record.h"
#include "ui/list_scale.h"

#include <QTest>

using namespace qly;

namespace {

NoteRecord noteWith(const QString& topic, DayCount reminder = 0)
{
    NoteRecord note;
    note.setTopic(topic);
    note.setDone(QStringLiteral("Y"));
    note.setReminderDate(reminder);
    return note;
}

} // namespace

class ListScaleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void topicsStandAlphabetically_data();
    void topicsStandAlphabetically();
    void aPlaceOnTheBarGivesATopicThatStandsThere_data();
    void aPlaceOnTheBarGivesATopicThatStandsThere();
    void datesStandByTheDay();
};

void ListScaleTest::topicsStandAlphabetically_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<double>("fraction");
    QTest::newRow("the first topic at the top") << "apple"
                                                << "zebra"
                                                << "apple" << 0.0;
    QTest::newRow("the last topic at the bottom") << "apple"
                                                  << "zebra"
                                                  << "zebra" << 1.0;
    QTest::newRow("m is about halfway from a to z") << "a"
                                                    << "z"
                                                    << "m" << 0.48;
    QTest::newRow("case is ignored") << "a"
                                     << "z"
                                     << "M" << 0.48;
    QTest::newRow("an accented letter stands by its base")
        << "a"
        << "z" << QStringLiteral("\u00c9mile") << 0.16;
    QTest::newRow("digits stand before a") << "0 day"
                                           << "z"
                                           << "5 days" << 0.0;
    QTest::newRow("a narrow list spreads over the whole bar") << "pa"
                                                              << "pz"
                                                              << "pm" << 0.48;
    QTest::newRow("one topic throughout stays at the top") << "same"
                                                           << "same"
                                                           << "same" << 0.0;
}

void ListScaleTest::topicsStandAlphabetically()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, topic);
    QFETCH(double, fraction);
    const auto scale = textListScale(NoteRecord::Topic, 0);
    const double at = scale->fraction(noteWith(topic), noteWith(first), noteWith(last));
    QVERIFY2(std::abs(at - fraction) < 0.03, qPrintable(QString::number(at)));
}

void ListScaleTest::aPlaceOnTheBarGivesATopicThatStandsThere_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("the top gives the first topic's letters") << 0.0 << "ab";
    QTest::newRow("halfway gives m") << 0.5 << "m";
    QTest::newRow("the bottom gives the last topic's letters") << 1.0 << "yz";
}

void ListScaleTest::aPlaceOnTheBarGivesATopicThatStandsThere()
{
    QFETCH(double, fraction);
    QFETCH(QString, prefix);
    const auto scale = textListScale(NoteRecord::Topic, 0);
    const NoteRecord first = noteWith(QStringLiteral("ab"));
    const NoteRecord last = noteWith(QStringLiteral("yz"));
    const KeyValues at = scale->valuesAt(fraction, first, last);
    QCOMPARE(at.components, 1);
    const QString topic = at.values.text(NoteRecord::Topic);
    QVERIFY2(topic.startsWith(prefix), qPrintable(topic));
    // And the topic found there stands where the thumb was put.
    QVERIFY(std::abs(scale->fraction(at.values, first, last) - fraction) < 0.01);
}

void ListScaleTest::datesStandByTheDay()
{
    // On a key that starts with the done flag the date is the second component; the flag comes
    // from the first row, where the filter pins it.
    const auto scale = dateListScale(NoteRecord::ReminderDate, 1);
    const NoteRecord first = noteWith(QStringLiteral("x"), 1000);
    const NoteRecord last = noteWith(QStringLiteral("y"), 1100);
    QCOMPARE(scale->fraction(noteWith(QStringLiteral("z"), 1025), first, last), 0.25);
    const KeyValues at = scale->valuesAt(0.75, first, last);
    QCOMPARE(at.components, 2);
    QCOMPARE(at.values.date(NoteRecord::ReminderDate), 1075);
    QCOMPARE(at.values.text(NoteRecord::Done), QStringLiteral("Y"));
    QCOMPARE(scale->fraction(noteWith(QStringLiteral("z"), 1025), first, first), 0.0);
}

int runListScaleTests(int argc, char** argv)
{
    ListScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_list_scale.moc"
