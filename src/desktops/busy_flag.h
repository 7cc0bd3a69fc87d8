#pragma once

namespace qw {

// Holds a one-at-a-time flag set for as long as it lives, also when the loop destroys an operation
// half-way, so that a cancelled operation never leaves its flag set.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyFlag() { flag_ = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag_;
};

} // namespace qw
