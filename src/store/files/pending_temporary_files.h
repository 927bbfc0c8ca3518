#pragma once

namespace tomorine {

// The temporary file of a save in progress (or a private copy, or the empty
// folder that held it), known to a signal handler so that a program ended by
// SIGINT, SIGTERM or SIGHUP leaves no temporary file behind. A few at once
// are known; more still work, but are left to whoever cleans up next.
class PendingTemporaryFile {
public:
    PendingTemporaryFile() = default;
    ~PendingTemporaryFile() { release(); }
    PendingTemporaryFile(const PendingTemporaryFile&) = delete;
    PendingTemporaryFile& operator=(const PendingTemporaryFile&) = delete;

    // Makes `path` known until release(); call once the file exists.
    void hold(const char* path) noexcept;
    // Forgets it; call once the file is renamed or removed.
    void release() noexcept;

private:
    int slot_ = -1;
};

// Removes every known temporary file, then folder. Safe to call from a signal handler.
void RemovePendingTemporaryFiles() noexcept;

// For programs: SIGXFSZ is ignored, so that a file-size limit fails a save
// with an error (and the old file kept) instead of killing the program; and
// SIGINT, SIGTERM and SIGHUP remove the temporary file of a save in
// progress before the program ends as the signal says. Handlers that the
// program installs later for a while (and then restores) take precedence.
void InstallSaveSignalHandling();

} // namespace tomorine
