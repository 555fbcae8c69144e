// libFuzzer target for filter expressions. Any input must parse or fail cleanly; a parsed tree
// must write back as text that reads as the same tree; a tree that binds to the notes layout
// must compile to SQL that SQLite takes and that picks exactly the notes the C++ test picks.
// Any other outcome aborts.
//
// Build and run (clang only; the sanitizers apply to this target alone):
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUILLARY_FUZZ=ON -DBUILD_TESTING=ON
//   ninja -C build-fuzz expr_fuzz
//   mkdir -p build-fuzz/expr-corpus
//   build-fuzz/tests/expr/expr_fuzz build-fuzz/expr-corpus tests/expr/fuzz/corpus \
//       -dict=tests/expr/fuzz/expr.dict -max_len=512 -max_total_time=60

#include "expr_fixture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

namespace {

[[noreturn]] void failure(const char* what, const QString& text, const QString& detail = {})
{
    std::fprintf(stderr, "%s\nfilter: %s\n%s\n", what, text.toUtf8().constData(),
                 detail.toUtf8().constData());
    std::abort();
}

struct Notes
{
    NoteTable table;
    std::vector<Record> records;

    Notes()
    {
        const DayCount today = testToday();
        const Note notes[] = {
            {},
            {.topic = "abc", .done = "N", .reminderDate = today + 3, .noteDate = 74189},
            {.topic = "ÉMILE", .done = "Y", .reminderDate = today - 1, .memo = "émile 12"},
            {.topic = "12.0", .done = "n", .noteDate = today, .url = "74189"},
            {.topic = QStringLiteral("a😀ｚ"), .memo = "x' OR 1=1 --", .reminder = "Y"},
            {.topic = " 7", .done = "y", .reminderDate = 74189, .email = "straße"},
        };
        for (const Note& note : notes) {
            records.push_back(recordOf(note));
            if (!table.add(records.back()))
                failure("cannot fill the notes table", {}, table.lastError());
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Notes notes;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const Result<Node> tree = parse(text);
    if (!tree.ok()) {
        if (tree.error().position < 0 || tree.error().position > text.size())
            failure("error position outside the text", text, tree.error().message);
        return 0;
    }
    const QString written = formatExpression(tree.value());
    const Result<Node> again = parse(written);
    if (!again.ok())
        failure("written tree does not read back", text, written + u'\n' + again.error().message);
    if (shape(again.value()) != shape(tree.value()))
        failure("written tree reads back differently", text, written);

    const Result<Filter> filter = bind(tree.value(), notesLayout());
    if (!filter.ok())
        return 0;
    const SqlFilter sql = filter.value().toSql(testToday());
    const std::optional<std::vector<int>> inSql = notes.table.select(sql);
    if (!inSql)
        failure("SQLite refuses the filter", text, sql.sql + u'\n' + notes.table.lastError());
    if (!notes.table.preparesInTopicOrder(sql))
        failure("SQLite refuses the filter in a topic-order read", text, sql.sql);
    std::vector<int> inCpp;
    for (size_t row = 0; row < notes.records.size(); ++row) {
        if (filter.value().matches(notes.records[row], testToday()))
            inCpp.push_back(static_cast<int>(row));
    }
    if (*inSql != inCpp)
        failure("C++ and SQL pick different notes", text, sql.sql);
    return 0;
}
