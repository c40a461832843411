#pragma once

namespace quillory::cli {

// While it exists, SIGINT and SIGTERM ask long work to stop before its next step instead of
// killing the process in the middle of it.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    bool requested() const;
};

} // namespace quillory::cli
