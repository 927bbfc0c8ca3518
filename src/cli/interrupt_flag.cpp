#include "cli/interrupt_flag.h"

namespace tomorine::cli {

namespace {

volatile std::sig_atomic_t raisedFlag = 0;

extern "C" void RaiseInterruptFlag(int) {
    raisedFlag = 1;
}

} // namespace

InterruptFlag::InterruptFlag() {
    raisedFlag = 0;
    struct sigaction action {};
    action.sa_handler = RaiseInterruptFlag;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptFlag::~InterruptFlag() {
    if (installed_) {
        sigaction(SIGINT, &previous_, nullptr);
    }
}

bool InterruptFlag::raised() const {
    return raisedFlag != 0;
}

} // namespace tomorine::cli
