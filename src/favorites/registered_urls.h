#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace tomorine {

class Connection;

// The URLs on the entry sheet, for telling a new favorite from one already
// registered without a lookup per favorite (each would scan the whole
// sheet). Two URLs are the same when all 16 URL chunks match, an empty chunk
// matching an empty column, as the lookup by chunks compares them; every row
// counts, the dummy row and deleted entries too.
class RegisteredUrls {
public:
    // Reads the 16 URL columns of every row through the connection.
    explicit RegisteredUrls(Connection& connection);

    bool contains(std::u16string_view url) const;
    void add(std::u16string_view url);

private:
    std::unordered_set<std::u16string> keys_;
};

} // namespace tomorine
