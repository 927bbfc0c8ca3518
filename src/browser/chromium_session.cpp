#include "browser/chromium_session.h"

#include "store/files/whole_file.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kUpdateTabNavigation = 6;
constexpr std::int64_t kEpochDelta = 11'644'473'600'000'000; // 1601 to 1970, in µs
constexpr std::uint64_t kMaxSessionBytes = 32u << 20;

// Reads the fields of one record's pickle: 32-bit aligned, little-endian,
// every length checked against what is left.
class PickleReader {
public:
    explicit PickleReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The padding after the last field may be missing.
    bool skip(std::size_t count) {
        const std::size_t left = bytes_.size() - at_;
        if (count > left) {
            return false;
        }
        at_ += std::min(left, (count + 3) & ~std::size_t{3});
        return true;
    }
    template <typename T>
    bool read(T& value) {
        if (at_ + sizeof(T) > bytes_.size()) {
            return false;
        }
        std::memcpy(&value, bytes_.data() + at_, sizeof(T));
        return skip(sizeof(T));
    }
    // A string of `length` units of `unit` bytes each.
    bool text(std::size_t unit, std::span<const std::uint8_t>& out) {
        std::int32_t length = 0;
        if (!read(length) || length < 0 ||
            static_cast<std::size_t>(length) > (bytes_.size() - at_) / unit) {
            return false;
        }
        out = bytes_.subspan(at_, static_cast<std::size_t>(length) * unit);
        return skip(out.size());
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::string Utf8OfUtf16(std::span<const std::uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return ToUtf8(text);
}

// Tab id, index, URL, title, page state, transition, post flag, referrer,
// its policy, original URL, user-agent flag, then the time.
std::optional<VisitedPage> Navigation(std::span<const std::uint8_t> pickle) {
    PickleReader in(pickle);
    std::uint32_t payload = 0;
    std::int32_t number = 0;
    std::span<const std::uint8_t> url, title, skipped;
    std::int64_t time = 0;
    const bool whole = in.read(payload) && payload <= pickle.size() - 4 && in.read(number) &&
                       in.read(number) && in.text(1, url) && in.text(2, title) &&
                       in.text(1, skipped) && in.read(number) && in.read(number) &&
                       in.text(1, skipped) && in.read(number) && in.text(1, skipped) &&
                       in.read(number) && in.read(time);
    if (!whole) {
        return std::nullopt;
    }
    std::string address(url.begin(), url.end());
    if (!address.starts_with("http://") && !address.starts_with("https://")) {
        return VisitedPage{};
    }
    // A damaged file's time must not overflow: such a page is simply the oldest.
    const std::int64_t oldest = std::numeric_limits<std::int64_t>::min();
    return VisitedPage{std::move(address), Utf8OfUtf16(title),
                       time < oldest + kEpochDelta ? oldest : time - kEpochDelta};
}

} // namespace

std::vector<VisitedPage> SessionNavigations(std::span<const std::uint8_t> bytes) {
    std::vector<VisitedPage> pages;
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "SNSS", 4) != 0) {
        return pages;
    }
    for (std::size_t at = 8; bytes.size() - at >= 3;) {
        const std::size_t size = bytes[at] | bytes[at + 1] << 8;
        if (size == 0 || size > bytes.size() - at - 2) {
            break;
        }
        const auto record = bytes.subspan(at + 2, size);
        at += 2 + size;
        if (record[0] != kUpdateTabNavigation) {
            continue;
        }
        auto page = Navigation(record.subspan(1));
        if (!page) {
            break;
        }
        if (!page->url.empty()) {
            pages.push_back(std::move(*page));
        }
    }
    return pages;
}

std::optional<VisitedPage> ChromiumSessionLatestPage(const fs::path& profile) {
    fs::path newest;
    fs::file_time_type newestTime;
    auto consider = [&](const fs::path& file) {
        std::error_code error;
        const auto time = fs::last_write_time(file, error);
        if (!error && (newest.empty() || time > newestTime)) {
            newest = file;
            newestTime = time;
        }
    };
    consider(profile / "Current Session");
    std::error_code error;
    for (fs::directory_iterator it(profile / "Sessions", error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with("Session_")) {
            consider(it->path());
        }
    }
    std::string bytes;
    if (newest.empty() || ReadWholeFile(newest, bytes, kMaxSessionBytes) != ReadStatus::Read) {
        return std::nullopt;
    }
    std::optional<VisitedPage> latest;
    for (VisitedPage& page :
         SessionNavigations({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})) {
        if (!latest || page.visitedAt >= latest->visitedAt) {
            latest = std::move(page);
        }
    }
    return latest;
}

} // namespace tomorine
