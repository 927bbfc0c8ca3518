#include "store/files/atomic_file.h"

#include "store/files/atomic_file_writer.h"
#include "store/files/file_bytes.h"

namespace tomorine {

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}

void CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
    const FileBytes bytes = ReadFileBytes(source);
    // A new copy of a private file stays private.
    AtomicFileWriter file(target, source);
    file.write(bytes);
    file.commit();
}

} // namespace tomorine
