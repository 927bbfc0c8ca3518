#include "store/files/pending_temporary_files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace tomorine {

namespace {

enum SlotState : int { Free, Filling, Held };

struct Slot {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

constexpr int kSlots = 16;
Slot slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

extern "C" void OnTerminatingSignal(int signal) {
    const int saved = errno;
    RemovePendingTemporaryFiles();
    errno = saved;
    // End as the signal says: the default action, which the handler's
    // SA_RESETHAND has put back, once the handler returns.
    ::raise(signal);
}

} // namespace

void PendingTemporaryFile::hold(const char* path) noexcept {
    release();
    const std::size_t length = std::strlen(path);
    if (length >= PATH_MAX) {
        return;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slots[i].path, path, length + 1);
            slots[i].state.store(Held);
            slot_ = i;
            return;
        }
    }
}

void PendingTemporaryFile::release() noexcept {
    if (slot_ >= 0) {
        slots[slot_].state.store(Free);
        slot_ = -1;
    }
}

void RemovePendingTemporaryFiles() noexcept {
    for (Slot& slot : slots) {
        if (slot.state.load() == Held) {
            ::unlink(slot.path);
        }
    }
    // Folders once the files in them are gone.
    for (Slot& slot : slots) {
        if (slot.state.load() == Held) {
            ::rmdir(slot.path);
        }
    }
}

void InstallSaveSignalHandling() {
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnTerminatingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the program was started to ignore stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace tomorine
