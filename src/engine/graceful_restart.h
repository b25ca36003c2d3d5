#pragma once

#include <cstdint>

namespace vigilon {

// Why a program is being restarted.
enum class RestartReason : std::uint8_t { Hung, Memory, Scheduled, Requested };

// A restart the graceful way, on the pass clock: the window is asked to close; when it is still
// there kTimeToClose later, it is asked once more whether it answers, and only a window that still
// does not answer is ended. A window that answers is spared: it may be asking the user to save.
class GracefulRestart {
public:
    static constexpr std::int64_t kTimeToClose = 10'000;

    enum class Step : std::uint8_t {
        None,      // nothing under way, or waiting: for the window to close, or for the last answer
        AskAgain,  // the time to close is over: ask the window once more
        End,       // it did not answer that question: end its process
        Spare,     // it answered: leave it running
    };

    // The window was asked to close at pass time `now`.
    void Begin(RestartReason reason, std::int64_t now) {
        *this = {};
        active_ = true;
        reason_ = reason;
        closeAskedAt_ = now;
    }

    bool Active() const { return active_; }
    RestartReason Reason() const { return reason_; }

    // What to do at pass time `now`.
    Step Next(std::int64_t now) const;

    // The last question was sent; its answer comes through Answered.
    void AskedAgain() { askedAgain_ = true; }
    bool AwaitsAnswer() const { return askedAgain_ && answer_ == Answer::None; }
    void Answered(bool answered) { answer_ = answered ? Answer::Yes : Answer::No; }

    void Clear() { *this = {}; }

private:
    enum class Answer : std::uint8_t { None, Yes, No };

    bool active_ = false;
    RestartReason reason_ = RestartReason::Hung;
    std::int64_t closeAskedAt_ = 0;
    bool askedAgain_ = false;
    Answer answer_ = Answer::None;
};

}  // namespace vigilon
