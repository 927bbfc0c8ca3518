#include "link_check_fixture.h"

#include "store/workbook/utf.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <iterator>

namespace tomorine::test {

LinkCheckOptions LoopbackOptions(const LocalHttpServer& server,
                                 const std::vector<std::string>& names,
                                 std::chrono::milliseconds timeout) {
    LinkCheckOptions options;
    options.connectTimeout = timeout;
    options.requestTimeout = timeout;
    options.noProxy = true;
    for (const std::string& name : names) {
        options.resolve.push_back(name + ":" + std::to_string(server.port()) + ":127.0.0.1");
    }
    options.hostAllowed = [names](std::string_view host) {
        return host == "127.0.0.1" || std::find(names.begin(), names.end(), host) != names.end();
    };
    return options;
}

std::vector<RowVerdict> RunToEnd(LinkCheck& check) {
    std::vector<RowVerdict> all;
    for (;;) {
        const bool finished = check.progress().finished;
        std::ranges::move(check.takeReleased(), std::back_inserter(all));
        if (finished) {
            return all;
        }
        check.waitForChange(std::chrono::milliseconds(200));
    }
}

Entry UrlEntry(std::int32_t serial, const std::string& url, std::u16string title) {
    return Entry{serial, FromUtf8(url), std::move(title), {}, {}, {}};
}

std::vector<int> SerialsByXlrd(const std::filesystem::path& file) {
    const nlohmann::json values = XlrdValues(file);
    std::vector<int> serials;
    for (const auto& cell : values["sheets"][0]["cells"]) {
        if (cell[0].get<int>() >= 2 && cell[1].get<int>() == 0) {
            serials.push_back(static_cast<int>(cell[3].get<double>()));
        }
    }
    return serials;
}

} // namespace tomorine::test
