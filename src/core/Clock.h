#pragma once

#include "core/LocalDateTime.h"

namespace quillory {

// The source of "now"; tests replace it to get fixed time stamps.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The workstation's local time.
class SystemClock : public Clock {
public:
    LocalDateTime now() const override;
};

// Always answers the time it was given.
class FixedClock : public Clock {
public:
    explicit FixedClock(LocalDateTime time) : time_(time) {}
    LocalDateTime now() const override { return time_; }
    void set(LocalDateTime time) { time_ = time; }

private:
    LocalDateTime time_;
};

} // namespace quillory
