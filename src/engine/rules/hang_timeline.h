#pragma once

#include <cstdint>

namespace vigilon {

// Whether a window answers the questions asked of it, on the pass clock. The count runs from the
// first question that has not been answered since the last answer, so a window is late only when
// a question was really sent (one that could not be sent starts nothing) and only for the time the
// passes ran meanwhile. Any answer clears it.
class HangTimeline {
public:
    // A question was sent at pass time `at`.
    void Asked(std::int64_t at) {
        asking_ = true;
        if (unansweredSince_ < 0) unansweredSince_ = at;
    }

    // The answer to the question out: `answered` false when the window did not answer in time.
    void Answered(bool answered) {
        asking_ = false;
        if (answered) unansweredSince_ = -1;
    }

    bool Asking() const { return asking_; }

    // How long the questions sent have gone unanswered at pass time `now`; 0 when none is late.
    std::int64_t Unanswered(std::int64_t now) const { return unansweredSince_ < 0 ? 0 : now - unansweredSince_; }

    void Clear() { *this = {}; }

private:
    bool asking_ = false;
    std::int64_t unansweredSince_ = -1;
};

}  // namespace vigilon
