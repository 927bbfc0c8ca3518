#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

namespace tomorine {

// A file written piece by piece that replaces its target only when it is
// complete: the pieces go to a temporary file in the target's folder, and
// commit() flushes it to disk, renames it over the target and flushes the
// folder. Until then, and whenever a step fails, the target is left byte for
// byte and no temporary file remains. A symbolic link is written through,
// not replaced. Every failure is a WorkbookError naming the target and the
// reason ("保存できません").
class AtomicFileWriter {
public:
    // Refuses a target that is a folder or a file the user made read-only,
    // then creates the temporary file. A target that exists keeps its
    // permissions; a new one gets those of `modeOf` when that file exists.
    explicit AtomicFileWriter(const std::filesystem::path& target,
                              const std::filesystem::path& modeOf = {});
    ~AtomicFileWriter(); // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    void write(std::string_view bytes);
    // Appends `length` bytes of the file open at `fd` from `offset`, copied
    // by the system without passing through this process where it can. A
    // file shorter than that is an error.
    void copy(int fd, std::uint64_t offset, std::uint64_t length);
    // Puts the file in place; nothing may be written afterwards.
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tomorine
