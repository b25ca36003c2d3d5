#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace vigilon {

// The checks one pass may begin: at most `slots`. When more are due than that, those due longest
// begin first: a pass lets in no check due later than the slots' worth of those the pass before
// turned away, so that no program is passed over pass after pass by those listed before it.
class CheckBudget {
public:
    explicit CheckBudget(int slots) : slots_(slots) {}

    // Whether a check due since `due` (monotonic) may begin in the pass at `pass`; when not, it
    // is kept as turned away, to go first at the next pass.
    bool May(std::int64_t pass, std::int64_t due);
    // The check May allowed begins: one slot fewer for the pass.
    void Take() { ++taken_; }

private:
    void NewPass(std::int64_t pass);

    int slots_;
    std::int64_t pass_ = -1;
    int taken_ = 0;
    std::int64_t latestDue_ = std::numeric_limits<std::int64_t>::max();  // later ones wait this pass
    std::vector<std::int64_t> turnedAway_;  // by this pass: when each was due
};

}  // namespace vigilon
