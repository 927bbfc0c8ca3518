// The table interface alone, on data workbooks built in memory (no file is
// read or written): the search statement with every field of every row read
// by name, one insert, one update, the highest-serial query, opening a
// connection, and the merge's NOT EXISTS select.
#include "entry_generator.h"
#include "store/entry.h"
#include "store/entry_statements.h"
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
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (auto _ : state) {
        Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
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
        connection.execute(BuildInsertStatement(++serial, entry));
    }
}

void BM_TableUpdate(benchmark::State& state) {
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    Entry entry = GenerateEntries(1, 7).front();
    int serial = 0;
    for (auto _ : state) {
        entry.title = u"題名" + std::u16string(1, static_cast<char16_t>(u'A' + serial % 26));
        serial = serial % static_cast<int>(state.range(0)) + 1;
        connection.execute(BuildUpdateStatement(serial, entry));
    }
}

void BM_TableMaxSerial(benchmark::State& state) {
    Connection connection = OpenOn(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Recordset rows = connection.execute(u"select max(シリアル番号) as cnt from [トモリネ$]");
        benchmark::DoNotOptimize(rows.field(u"cnt").asNumber());
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

// 100 reference rows that are all new: each one is compared with every entry.
void BM_TableMergeSelect100(benchmark::State& state) {
    Workbook book = DataBook(static_cast<int>(state.range(0)));
    Workbook reference = DataWorkbookWith(GenerateEntries(100, 99));
    Sheet& tmp = book.copySheetAfter(reference.sheet(1), book.sheet(1));
    book.renameSheet(tmp, u"tmp");
    tmp.deleteRow(2); // without the dummy row, which would match
    Connection connection("/nonexistent/bench.xls", std::move(book));

    std::u16string sql = u"SELECT [tmp$].* FROM [tmp$] WHERE NOT EXISTS ( SELECT [トモリネ$].* "
                         u"FROM [トモリネ$] WHERE ";
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (size_t i = 1; i + 1 < names.size(); ++i) {
        const std::u16string& c = names[i];
        sql += (i == 1 ? u"" : u" and ");
        sql += u"([tmp$]." + c + u" = [トモリネ$]." + c + u" or [tmp$]." + c + u" Is Null)";
    }
    sql += u" )";
    for (auto _ : state) {
        Recordset rows = connection.execute(sql);
        benchmark::DoNotOptimize(rows.recordCount());
    }
}

BENCHMARK(BM_TableSelectLiveEntries)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableInsert)->Arg(10000)->Arg(60000)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableUpdate)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableMaxSerial)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableOpen)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableMergeSelect100)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
