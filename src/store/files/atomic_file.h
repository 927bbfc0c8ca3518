#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tomorine {

// Replaces the file at `path` by `bytes` so that a crash at any moment leaves
// either the old or the new file: a temporary file in the same folder,
// flushed to disk, renamed over `path`, then the folder flushed. A symbolic
// link is written through, not replaced; a folder, pipe or device in its
// place is never replaced. On failure the old file is left byte for byte, no
// temporary file remains, and the WorkbookError names `path` and the reason.
// A save made while this thread holds the DataFileLock of `path` first
// removes the temporary files that interrupted saves of `path` left (no other
// writer of ours can be saving it then).
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Copies `source` over `target` in the same way: `target` is, at every
// moment, its old self (or absent) or a complete copy. A new target gets the
// permissions of `source`, an existing one keeps its own. Throws WorkbookError
// naming the file that could not be read or written.
void CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace tomorine
