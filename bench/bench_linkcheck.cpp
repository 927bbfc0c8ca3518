// The link check over 1,000 entries against a local server that answers each
// request after 300 ms: one at a time this would take 300 s. The host names
// are resolved to 127.0.0.1 through the check's resolve list
// (CURLOPT_RESOLVE), so no name is looked up and nothing leaves the machine.
#include "link_check_fixture.h"
#include "linkcheck/link_check.h"

#include <benchmark/benchmark.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

constexpr int Entries = 1000;

void RunCheck(benchmark::State& state, int hosts) {
    LocalHttpServer server;
    std::vector<std::string> names;
    for (int host = 0; host < hosts; ++host) {
        names.push_back("h" + std::to_string(host) + ".bench.test");
    }
    std::vector<std::string> urls;
    for (int entry = 0; entry < Entries; ++entry) {
        urls.push_back(server.url(names[entry % hosts], "/slow/300"));
    }
    const LinkCheckOptions options = LoopbackOptions(server, names, std::chrono::seconds(30));
    std::size_t dead = 0;
    for (auto _ : state) {
        LinkCheck check(urls, options);
        dead = 0;
        for (const RowVerdict& row : RunToEnd(check)) {
            dead += row.verdict.listed() ? 1 : 0;
        }
    }
    state.counters["entries"] = Entries;
    state.counters["dead"] = static_cast<double>(dead);
    state.counters["most_at_once"] = server.maxInFlight();
    state.counters["most_per_host"] = server.maxInFlightOfHost(names[0]);
    state.counters["per_second"] =
        benchmark::Counter(Entries, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LinkCheck_100Hosts(benchmark::State& state) {
    RunCheck(state, 100);
}
void BM_LinkCheck_OneHost(benchmark::State& state) {
    RunCheck(state, 1);
}

} // namespace

BENCHMARK(BM_LinkCheck_100Hosts)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_LinkCheck_OneHost)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
