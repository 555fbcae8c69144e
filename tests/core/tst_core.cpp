// Dates, fixed-width text and the per-thread context.

#include "core/dates.h"
#include "core/fixed_text.h"
#include "core/procedure.h"
#include "core/thread.h"

#include <QDate>
#include <QTest>

using namespace qly;

class CoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packedDatesRead_data();
    void packedDatesRead();
    void dayCountsPack_data();
    void dayCountsPack();
    void everyDayRoundTrips();
    void qdateConversion();

    void fitText_data();
    void fitText();
    void comparisonsIgnoreTrailingBlanks();
    void codePointOrderBeyondTheBasicPlane();

    void threadLocalsAreDroppedByTheirOwner();
    void procedureNamesStackPerThread();

    void awaitedSignalResumesOnALaterTurn();
    void aDestroyedSenderResumesWithoutResult();
    void spawnedProceduresAreCounted();
};

void CoreTest::packedDatesRead_data()
{
    QTest::addColumn<quint32>("packed");
    QTest::addColumn<int>("dayCount");

    QTest::newRow("zero is no date") << packYmd(0, 0, 0) << 0;
    QTest::newRow("1 January 1801 is day 4") << packYmd(1801, 1, 1) << 4;
    QTest::newRow("29 December 1800 is day 1") << packYmd(1800, 12, 29) << 1;
    QTest::newRow("epoch itself is no date") << packYmd(1800, 12, 28) << 0;
    QTest::newRow("before the epoch is no date") << packYmd(1750, 6, 1) << 0;
    QTest::newRow("29 February in a leap year") << packYmd(2024, 2, 29) << fromQDate(QDate(2024, 2, 29));
    QTest::newRow("29 February 2000 (divisible by 400)") << packYmd(2000, 2, 29) << fromQDate(QDate(2000, 2, 29));
    QTest::newRow("29 February 1900 is impossible") << packYmd(1900, 2, 29) << 0;
    QTest::newRow("29 February in a common year is impossible") << packYmd(2023, 2, 29) << 0;
    QTest::newRow("month 13 is impossible") << packYmd(2020, 13, 1) << 0;
    QTest::newRow("day 0 is impossible") << packYmd(2020, 5, 0) << 0;
    QTest::newRow("31 April is impossible") << packYmd(2020, 4, 31) << 0;
    QTest::newRow("31 December 9999 is the last day") << packYmd(9999, 12, 31) << lastDayCount();
    QTest::newRow("year 10000 reads as the last day") << packYmd(10000, 1, 1) << lastDayCount();
    QTest::newRow("year 65535 reads as the last day") << packYmd(65535, 255, 255) << lastDayCount();
}

void CoreTest::packedDatesRead()
{
    QFETCH(quint32, packed);
    QFETCH(int, dayCount);
    QCOMPARE(unpackDate(packed), dayCount);
}

void CoreTest::dayCountsPack_data()
{
    QTest::addColumn<int>("dayCount");
    QTest::addColumn<quint32>("packed");

    QTest::newRow("0 packs to 0") << 0 << 0u;
    QTest::newRow("negative packs to 0") << -5 << 0u;
    QTest::newRow("day 4") << 4 << packYmd(1801, 1, 1);
    QTest::newRow("29 February 2024") << fromQDate(QDate(2024, 2, 29)) << 2024u * 65536u + 2u * 256u + 29u;
    QTest::newRow("beyond the last day packs the last day") << lastDayCount() + 100 << packYmd(9999, 12, 31);
}

void CoreTest::dayCountsPack()
{
    QFETCH(int, dayCount);
    QFETCH(quint32, packed);
    QCOMPARE(packDate(dayCount), packed);
}

void CoreTest::everyDayRoundTrips()
{
    // Every day from 1801 to well past 2100: pack and read back, and agree with QDate.
    const QDate first(1800, 12, 29);
    for (DayCount day = 1; day < 120000; ++day) {
        const PackedDate packed = packDate(day);
        if (unpackDate(packed) != day)
            QFAIL(qPrintable(QStringLiteral("day %1 packed as %2 reads back as %3").arg(day).arg(packed).arg(unpackDate(packed))));
        const QDate date = first.addDays(day - 1);
        if (packed != packYmd(date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())))
            QFAIL(qPrintable(QStringLiteral("day %1 is %2 but packed as %3").arg(day).arg(date.toString(Qt::ISODate)).arg(packed)));
    }
    QCOMPARE(unpackDate(packDate(lastDayCount())), lastDayCount());
}

void CoreTest::qdateConversion()
{
    QCOMPARE(fromQDate(QDate(1801, 1, 1)), 4);
    QCOMPARE(toQDate(4), QDate(1801, 1, 1));
    QVERIFY(!toQDate(0).isValid());
    QCOMPARE(fromQDate(QDate()), 0);
    QCOMPARE(toQDate(fromQDate(QDate(2026, 12, 11))), QDate(2026, 12, 11));
}

void CoreTest::fitText_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("fitted");

    const QString sixty(60, u'a');
    QTest::newRow("short value kept") << QStringLiteral("Milk") << 60 << QStringLiteral("Milk");
    QTest::newRow("trailing blanks dropped") << QStringLiteral("Milk   ") << 60 << QStringLiteral("Milk");
    QTest::newRow("leading blanks kept") << QStringLiteral("  Milk") << 60 << QStringLiteral("  Milk");
    QTest::newRow("61 characters cut to 60") << sixty + u'b' << 60 << sixty;
    QTest::newRow("cut counts characters, not bytes")
        << QString(70, QChar(0x00c9)) << 60 << QString(60, QChar(0x00c9));
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    QTest::newRow("a character beyond the basic plane is never cut in half")
        << QString(59, u'a') + clef + clef << 60 << QString(59, u'a') + clef;
    QTest::newRow("one-character field") << QStringLiteral("Yes") << 1 << QStringLiteral("Y");
    QTest::newRow("blank value is empty") << QStringLiteral("     ") << 5 << QString();
}

void CoreTest::fitText()
{
    QFETCH(QString, value);
    QFETCH(int, width);
    QFETCH(QString, fitted);
    QCOMPARE(qly::fitText(value, width), fitted);
    const QString padded = padText(value, width);
    QCOMPARE(codePointCount(padded), qsizetype{width});
    QCOMPARE(withoutTrailingBlanks(padded).toString(), fitted);
}

void CoreTest::comparisonsIgnoreTrailingBlanks()
{
    QVERIFY(sameText(u"Milk", u"Milk   "));
    QVERIFY(!sameText(u"Milk", u" Milk"));
    QVERIFY(!sameText(u"milk", u"Milk"));
    QCOMPARE(compareText(u"abc  ", u"abc"), 0);
    QVERIFY(compareText(u"abc", u"abd") < 0);
    QVERIFY(compareText(u"ab", u"abc") < 0);
}

void CoreTest::codePointOrderBeyondTheBasicPlane()
{
    // UTF-16 puts U+1F600 (surrogates) before U+FF21; code point order puts it after.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    QVERIFY(compareText(emoji, QString(QChar(0xff21))) > 0);
    QVERIFY(compareText(QString(QChar(0xff21)), emoji) < 0);
}

namespace {
struct Counter : ThreadLocal
{
    explicit Counter(int* alive) : m_alive(alive) { ++*m_alive; }
    ~Counter() override { --*m_alive; }
    int* m_alive;
    int value = 0;
};
} // namespace

void CoreTest::threadLocalsAreDroppedByTheirOwner()
{
    int alive = 0;
    const int owner = 0;
    const std::function<std::unique_ptr<Counter>()> make = [&alive] { return std::make_unique<Counter>(&alive); };
    {
        Thread first(QStringLiteral("first"));
        Thread second(QStringLiteral("second"));
        first.local<Counter>(&owner, make).value = 1;
        second.local<Counter>(&owner, make).value = 2;
        QCOMPARE(first.local<Counter>(&owner, make).value, 1);
        QCOMPARE(second.local<Counter>(&owner, make).value, 2);
        QCOMPARE(alive, 2);
        Thread::dropLocalsOf(&owner);
        QCOMPARE(alive, 0);
        QVERIFY(!first.findLocal(&owner));
        first.local<Counter>(&owner, make);
        QCOMPARE(alive, 1);
    }
    QCOMPARE(alive, 0);
}

void CoreTest::procedureNamesStackPerThread()
{
    Thread main(QStringLiteral("main"));
    Thread about(QStringLiteral("about"));
    main.pushProcedure(QStringLiteral("Main"));
    main.pushProcedure(QStringLiteral("UpdateSNotes"));
    about.pushProcedure(QStringLiteral("about"));
    QCOMPARE(main.procedure(), QStringLiteral("UpdateSNotes"));
    QCOMPARE(about.procedure(), QStringLiteral("about"));
    main.popProcedure();
    QCOMPARE(main.procedure(), QStringLiteral("Main"));
    main.popProcedure();
    main.popProcedure();
    QCOMPARE(main.procedure(), QString());
}

namespace {
class Window : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void finished(int result);
};

QCoro::Task<> waitFor(Window* window, int* outcome, bool* insideEmit, const bool* emitting)
{
    const bool fired = co_await awaitSignal(window, &Window::finished);
    *insideEmit = *emitting;
    *outcome = fired ? 1 : 0;
}
} // namespace

void CoreTest::awaitedSignalResumesOnALaterTurn()
{
    Window window;
    int outcome = -1;
    bool insideEmit = true;
    bool emitting = false;
    spawn(waitFor(&window, &outcome, &insideEmit, &emitting));
    QCOMPARE(outcome, -1);
    emitting = true;
    Q_EMIT window.finished(1);
    emitting = false;
    QCOMPARE(outcome, -1); // not resumed from inside the emission
    QTRY_COMPARE(outcome, 1);
    QVERIFY(!insideEmit);
}

void CoreTest::aDestroyedSenderResumesWithoutResult()
{
    auto* window = new Window;
    int outcome = -1;
    bool insideEmit = false;
    const bool emitting = false;
    spawn(waitFor(window, &outcome, &insideEmit, &emitting));
    delete window;
    QTRY_COMPARE(outcome, 0);
}

void CoreTest::spawnedProceduresAreCounted()
{
    QTRY_COMPARE(liveProcedures(), 0);
    int finishedCalls = 0;
    onAllProceduresFinished([&finishedCalls] { ++finishedCalls; });
    Window first;
    Window second;
    int a = -1;
    int b = -1;
    bool ignored = false;
    const bool emitting = false;
    spawn(waitFor(&first, &a, &ignored, &emitting));
    spawn(waitFor(&second, &b, &ignored, &emitting));
    QCOMPARE(liveProcedures(), 2);
    Q_EMIT first.finished(0);
    QTRY_COMPARE(liveProcedures(), 1);
    QCOMPARE(finishedCalls, 0);
    Q_EMIT second.finished(0);
    QTRY_COMPARE(liveProcedures(), 0);
    QCOMPARE(finishedCalls, 1);
    onAllProceduresFinished({});
}

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
