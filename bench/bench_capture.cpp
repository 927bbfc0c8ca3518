// The capture's work on a fetched page at the 2 MB cap: charset detection and
// decoding, the HTML parse into one start tag a line, and the keyword rule.
#include "browser/meta_keywords.h"
#include "browser/page_charset.h"
#include "browser/page_markup.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

namespace {

// About 2 MB of a Japanese page in the given charset, keywords at the end of
// the head as on many real pages.
std::string BigPage(const char* charset) {
    std::string utf8 = "<html><head><title>大きな頁</title>"
                       "<meta content=\"news,sports\" name=\"keywords\"></head><body>";
    while (utf8.size() < 1'300'000) {
        utf8 += "<div class=\"item\"><a href=\"/item?id=1\">日本語の見出しと本文</a>"
                "<p>ひらがな、カタカナ、漢字の混じった段落です。</p></div>\n";
    }
    utf8 += "</body></html>";
    iconv_t cd = iconv_open(charset, "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out.substr(0, 2 * 1024 * 1024);
}

void BM_UndeclaredPage(benchmark::State& state, const char* charset) {
    const std::string page = BigPage(charset);
    for (auto _ : state) {
        const std::string text = tomorine::DecodePage(page, "text/html");
        const tomorine::PageMarkup markup = tomorine::ParsePageMarkup(text);
        benchmark::DoNotOptimize(tomorine::KeywordsFromMarkup(markup.markup));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

BENCHMARK_CAPTURE(BM_UndeclaredPage, utf8, "UTF-8")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UndeclaredPage, cp932, "CP932")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UndeclaredPage, eucjp, "EUC-JP")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
