#include "entry_generator.h"

#include "store/data_workbook.h"

#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <string_view>

namespace tomorine::bench {

namespace {

constexpr std::u16string_view kKanji =
    u"日本語検索登録情報技術開発設計資料記事写真動画音楽料理旅行地図天気経済政治社会科学歴史文化"
    u"教育健康医療趣味生活住宅交通自動車鉄道航空宇宙環境電気通信番組映画書籍新聞雑誌辞書便利無料";
constexpr std::u16string_view kKana =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン";
constexpr std::u16string_view kWords[] = {
    u"ニュース", u"スポーツ", u"天気",  u"料理", u"レシピ", u"旅行", u"ホテル", u"プログラミング",
    u"C++",      u"Qt",       u"Linux", u"音楽", u"映画",   u"本",   u"技術",   u"経済",
    u"株価",     u"地図",     u"辞書",  u"健康", u"ゲーム", u"写真", u"カメラ", u"鉄道",
    u"自転車",   u"園芸",     u"猫",    u"犬",   u"歴史"};

class Texts {
public:
    explicit Texts(std::uint32_t seed) : random_(seed) {}

    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    std::u16string japanese(int length) {
        std::u16string s;
        for (int i = 0; i < length; ++i) {
            int pick = between(0, 9);
            if (pick < 4) {
                s += kKanji[between(0, static_cast<int>(kKanji.size()) - 1)];
            } else if (pick < 9) {
                s += kKana[between(0, static_cast<int>(kKana.size()) - 1)];
            } else {
                s += i % 2 ? u'、' : u'。';
            }
        }
        return s;
    }

    std::u16string url(int length) {
        static constexpr std::u16string_view chars = u"abcdefghijklmnopqrstuvwxyz0123456789-_/";
        std::u16string s =
            u"https://www.example" + std::u16string(1, chars[between(0, 25)]) + u".co.jp/";
        while (static_cast<int>(s.size()) < length) {
            s += chars[between(0, static_cast<int>(chars.size()) - 1)];
        }
        return s;
    }

    std::u16string keywords(int count) {
        std::u16string s;
        for (int i = 0; i < count; ++i) {
            s += (i ? u" " : u"");
            s += kWords[between(0, static_cast<int>(std::size(kWords)) - 1)];
        }
        return s;
    }

private:
    std::mt19937 random_;
};

} // namespace

std::vector<Entry> GenerateEntries(int count, std::uint32_t seed) {
    Texts texts(seed);
    std::vector<Entry> entries(count);
    for (int i = 0; i < count; ++i) {
        Entry& e = entries[i];
        e.serial = i + 1;
        e.url = texts.url(texts.between(40, 160));
        e.title = texts.japanese(texts.between(10, 60));
        e.subtitle = texts.japanese(texts.between(0, 120));
        e.keywords = texts.keywords(texts.between(2, 8));
        e.comment = texts.japanese(texts.between(0, 400));
    }
    return entries;
}

Workbook DataWorkbookWith(const std::vector<Entry>& entries) {
    Workbook book = NewDataWorkbook();
    Sheet& sheet = book.sheet(1);
    for (const Entry& e : entries) {
        Sheet::Row row;
        row.reserve(EntryColumnCount);
        row.push_back(Cell::number(e.serial));
        for (std::u16string& value : ChunkValues(e)) {
            row.push_back(value.empty() ? Cell() : Cell::text(std::move(value)));
        }
        row.push_back(Cell::number(0));
        sheet.appendRow(std::move(row));
    }
    return book;
}

// VmHWM rather than ru_maxrss: only the former is reset by clear_refs.
double PeakRssMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

void ResetPeakRss() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace tomorine::bench
