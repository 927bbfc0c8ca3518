// The table engine alone, on data workbooks built in memory (no file is
// read or written): the live entries with every field of every row read by
// name, one insert, one update, the highest-serial query and opening a
// connection.
#include "entry_generator.h"
#include "store/data_connection.h"
#include "store/entry.h"
#include "store/live_entries.h"
#include "store/table/connection.h"

#include <benchmark/benchmark.h>
#include <map>

namespace tomorine::bench {
namespace {

const Workbook& DataBook(int entries) {
    static std::map<int, Workbook> books;
    auto it = books.find(entries);
    if (it == books.end()) {
        it = books.emplace(entries, DataWorkbookWith(GenerateEntries(entries))).first;
    }
    return it->second;
}

Connection OpenOn(int entries) {
    return Connection("/nonexistent/bench.xls", DataBook(entries));
}

void BM_TableSelectLiveEntries(benchmark::State& state) {
    auto book = std::make_shared<const Workbook>(DataBook(static_cast<int>(state.range(0))));
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (auto _ : state) {
        Recordset rows = LiveEntries(book, "bench.xls");
        size_t filled = 0;
        for (; !rows.eof(); rows.moveNext()) {
            for (const std::u16string& name : names) {
                filled += rows.field(name).isEmpty() ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(filled);
    }
}

void BM_TableInsert(benchmark::State& state) {
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    Entry entry = GenerateEntries(1, 7).front();
    std::int32_t serial = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        InsertEntry(connection, ++serial, ChunkValues(entry));
    }
}

void BM_TableUpdate(benchmark::State& state) {
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    Entry entry = GenerateEntries(1, 7).front();
    int serial = 0;
    for (auto _ : state) {
        entry.title = u"題名" + std::u16string(1, static_cast<char16_t>(u'A' + serial % 26));
        serial = serial % static_cast<int>(state.range(0)) + 1;
        UpdateEntry(connection, serial, entry);
    }
}

void BM_TableMaxSerial(benchmark::State& state) {
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(QueryMaxSerial(connection));
    }
}

void BM_TableOpen(benchmark::State& state) {
    const Workbook& book = DataBook(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        Workbook copy = book;
        state.ResumeTiming();
        Connection connection("/nonexistent/bench.xls", std::move(copy));
        benchmark::DoNotOptimize(connection.isOpen());
        state.PauseTiming(); // releasing the workbook is not part of opening
        connection.close();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_TableSelectLiveEntries)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableInsert)->Arg(10000)->Arg(60000)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableUpdate)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableMaxSerial)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableOpen)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
