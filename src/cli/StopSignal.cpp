#include "cli/StopSignal.h"

#include <csignal>

namespace quillory::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

using Handler = void (*)(int);
Handler previousInt = SIG_DFL;
Handler previousTerm = SIG_DFL;

} // namespace

StopSignal::StopSignal() {
    stopRequested = 0;
    previousInt = std::signal(SIGINT, onStopSignal);
    previousTerm = std::signal(SIGTERM, onStopSignal);
}

StopSignal::~StopSignal() {
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
}

bool StopSignal::requested() const {
    return stopRequested != 0;
}

} // namespace quillory::cli
