#include "bench_support.h"

#include "core/clock.h"
#include "data/note_record.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <QRandomGenerator>
#include <QStringList>
#include <sys/resource.h>
#include <vector>

namespace qly::bench {

namespace {
const QStringList kVerbs = {
    QStringLiteral("Call"),   QStringLiteral("Buy"),   QStringLiteral("Email"),
    QStringLiteral("Pay"),    QStringLiteral("Book"),  QStringLiteral("Renew"),
    QStringLiteral("Ask"),    QStringLiteral("Fix"),   QStringLiteral("Send"),
    QStringLiteral("Return"), QStringLiteral("Check"), QStringLiteral("Plan")};
const QStringList kThings = {QStringLiteral("dentist"),
                             QStringLiteral("Émile"),
                             QStringLiteral("the bank"),
                             QStringLiteral("insurance"),
                             QStringLiteral("car service"),
                             QStringLiteral("library books"),
                             QStringLiteral("birthday present"),
                             QStringLiteral("Zoë"),
                             QStringLiteral("passport"),
                             QStringLiteral("electricity bill"),
                             QStringLiteral("garden shed"),
                             QStringLiteral("school trip"),
                             QStringLiteral("tax return"),
                             QStringLiteral("holiday flights"),
                             QStringLiteral("Müller"),
                             QStringLiteral("plumber"),
                             QStringLiteral("vet"),
                             QStringLiteral("landlord")};
const QStringList kWords = {
    QStringLiteral("remember"),  QStringLiteral("before"),  QStringLiteral("the"),
    QStringLiteral("meeting"),   QStringLiteral("about"),   QStringLiteral("invoice"),
    QStringLiteral("number"),    QStringLiteral("and"),     QStringLiteral("ask"),
    QStringLiteral("whether"),   QStringLiteral("Tuesday"), QStringLiteral("works"),
    QStringLiteral("otherwise"), QStringLiteral("next"),    QStringLiteral("week"),
    QStringLiteral("café"),      QStringLiteral("receipt"), QStringLiteral("address")};

QString pick(const QStringList& list, QRandomGenerator& random)
{
    return list.at(static_cast<qsizetype>(random.bounded(static_cast<quint32>(list.size()))));
}
} // namespace

bool fillNotes(store::TableInstance& notes, qint64 count, quint32 seed)
{
    QRandomGenerator random(seed);
    const DayCount today = fromQDate(QDate(2026, 12, 11));
    if (!notes.begin())
        return false;
    auto& note = static_cast<NoteRecord&>(notes.buffer());
    for (qint64 i = 0; i < count; ++i) {
        notes.clearBuffer();
        QString topic = pick(kVerbs, random) + u' ' + pick(kThings, random) + u' ' +
                        QString::number(random.bounded(1000u));
        if (random.bounded(4u) == 0)
            topic = topic.toUpper();
        else if (random.bounded(4u) == 0)
            topic = topic.toLower();
        note.setTopic(topic);
        QString memo;
        while (memo.size() < 200)
            memo += pick(kWords, random) + u' ';
        note.setMainMemo(memo);
        note.setNoteDate(today - static_cast<DayCount>(random.bounded(3650u)));
        const quint32 kind = random.bounded(10u);
        if (kind == 0)
            note.setReminderDate(today - 30 + static_cast<DayCount>(random.bounded(90u)));
        note.setDone(kind == 1 ? u"Y" : u"N");
        const quint32 mark = random.bounded(20u);
        note.setReminder(mark == 0 ? u"Y" : (mark < 4 ? u"N" : u""));
        if (random.bounded(5u) == 0)
            note.setEmailAddress(u"someone@example.org");
        if (random.bounded(5u) == 0)
            note.setUrl(u"https://example.org/notes");
        if (!notes.insert()) {
            notes.rollback();
            return false;
        }
    }
    return notes.commit().ok();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double medianMs(int runs, const std::function<void(int)>& work)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work(i);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return median(std::move(times));
}

void printBench(const QString& operation, qint64 rows, double oursMs, double rawMs)
{
    std::printf("BENCH %s n=%lld ours_ms=%.4f raw_ms=%.4f ratio=%.2f\n", qPrintable(operation),
                static_cast<long long>(rows), oursMs, rawMs, rawMs > 0 ? oursMs / rawMs : 0.0);
    std::fflush(stdout);
}

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace qly::bench
