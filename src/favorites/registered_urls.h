#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    struct Slot {
        std::uint32_t offset; // of the key's length in keys_; kEmpty for none
        std::uint32_t hash;
    };
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    std::string_view keyAt(std::uint32_t offset) const;
    // The slot holding `key`, or the empty one where it would go.
    std::size_t find(std::string_view key, std::uint32_t hash) const;
    void insert(std::string_view key);

    // Every key in one block, each after its length, found through a table
    // open-addressed by hash: 60,000 keys as strings of their own took 23 MB,
    // and 55 ms to free.
    std::string keys_;
    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

} // namespace tomorine
