#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace tomorine::test {

// Paths a reader must refuse without blocking or reading them whole.
enum class Hostile { Fifo, DevZero, Folder, Huge };

inline constexpr Hostile kHostileKinds[] = {Hostile::Fifo, Hostile::DevZero, Hostile::Folder,
                                            Hostile::Huge};
inline constexpr std::uintmax_t kHugeBytes = 50 << 20;

// Puts a FIFO, a link to /dev/zero, an empty folder or a file of `bytes` bytes
// beginning with `head` at `path`. The file is sparse: size costs no disk.
void MakeHostile(Hostile kind, const std::filesystem::path& path, std::uintmax_t bytes = kHugeBytes,
                 std::string_view head = {});

const char* HostileName(Hostile kind);

// Whether a test may let the program write at the path: a fault would let
// root replace the device behind /dev/zero.
bool MayWriteAt(Hostile kind);

// What a later look at the path must find again.
std::string Fingerprint(const std::filesystem::path& path);
// Every path under `folder`, each file with its fingerprint: what "nothing
// left behind, removed or changed" means.
std::set<std::string> Listing(const std::filesystem::path& folder);

} // namespace tomorine::test
