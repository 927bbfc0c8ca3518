#pragma once
// The entry rows as xlrd reads them back, for the Favorites and browser bookmark imports.
#include "favorites/favorites_import.h"
#include "store/workbook/utf.h"
#include "support/xls_peer.h"

namespace tomorine::test {

// The [column, type, value] cells of each entry row (0-based row 2 on).
inline std::vector<nlohmann::json> EntryRowsByXlrd(const std::filesystem::path& file) {
    const nlohmann::json values = XlrdValues(file);
    std::vector<nlohmann::json> rows;
    for (const nlohmann::json& cell : values["sheets"][0]["cells"]) {
        if (const int row = cell[0]; row >= 2) {
            rows.resize(std::max<size_t>(rows.size(), row - 1));
            rows[row - 2].push_back({cell[1], cell[2], cell[3]});
        }
    }
    return rows;
}

// The rows an import stores for short texts: one chunk each, live.
inline std::vector<nlohmann::json> RowsOf(const std::vector<Entry>& entries) {
    std::vector<nlohmann::json> rows;
    for (const Entry& e : entries) {
        nlohmann::json cells = nlohmann::json::array({{0, "number", e.serial}});
        for (const auto& [column, text] : {std::pair{1, &e.url},
                                           {17, &e.title},
                                           {21, &e.subtitle},
                                           {25, &e.comment},
                                           {41, &e.keywords}}) {
            if (!text->empty()) {
                cells.push_back({column, "text", ToUtf8(*text)});
            }
        }
        cells.push_back({57, "number", 0});
        rows.push_back(cells);
    }
    return rows;
}

} // namespace tomorine::test
