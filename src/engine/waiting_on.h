#pragma once

#include <utility>

namespace vigilon {

// Names what the pass waits for while it lives; what was named before comes back after.
template <typename Hold>
class WaitingOn {
public:
    WaitingOn(Hold& slot, Hold what) : slot_(slot), before_(std::exchange(slot, what)) {}
    WaitingOn(WaitingOn const&) = delete;
    WaitingOn& operator=(WaitingOn const&) = delete;
    ~WaitingOn() { slot_ = before_; }

private:
    Hold& slot_;
    Hold before_;
};

}  // namespace vigilon
