#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace vigilon {

// Why a program is being restarted.
enum class RestartReason : std::uint8_t { Hung, Memory, Scheduled, Requested, Check, Hours, Idle };
inline constexpr std::size_t kRestartReasonCount = 7;

// A restart the graceful way, on the pass clock. A rule's restart is first decided: when a picture
// of the window is wanted, the window is asked to close only once the picture is done (taken on a
// worker, or given up after its time), so that it shows the window as it was in trouble. Then, when
// the window is still there kTimeToClose after it was asked to close, it is asked once more whether
// it answers, and only a window that still does not answer is ended, after a picture of it when
// one is wanted. A window that answers is spared: it may be asking the user to save.
class GracefulRestart {
public:
    static constexpr std::int64_t kTimeToClose = 10'000;

    enum class Step : std::uint8_t {
        None,      // nothing under way, or waiting: for the window to close, or for the last answer
        Picture,   // a picture is being taken: look whether it is done
        Close,     // decided, with its picture done: ask the window to close
        AskAgain,  // the time to close is over: ask the window once more
        End,       // it did not answer that question: end its process
        Spare,     // it answered: leave it running
    };

    // A rule decided to restart the window for `reason`; it is asked to close once picture `shot`
    // (0: none) is done. `details` and `explained` are what the report and the history say of it then.
    void Decide(RestartReason reason, std::uint32_t shot, std::wstring details, std::wstring explained) {
        *this = {};
        active_ = true;
        reason_ = reason;
        shot_ = shot;
        details_ = std::move(details);
        explained_ = std::move(explained);
    }

    // The window was asked to close at pass time `now`.
    void Begin(RestartReason reason, std::int64_t now) {
        *this = {};
        active_ = true;
        reason_ = reason;
        closeAsked_ = true;
        closeAskedAt_ = now;
    }

    bool Active() const { return active_; }
    RestartReason Reason() const { return reason_; }
    std::wstring const& Details() const { return details_; }
    std::wstring const& Explained() const { return explained_; }

    // What to do at pass time `now`.
    Step Next(std::int64_t now) const;

    // The picture awaited, 0 for none.
    std::uint32_t Shot() const { return shot_; }
    // The picture awaited is done: the path of its file, empty for none.
    void Pictured(std::wstring path) {
        shot_ = 0;
        shotPath_ = std::move(path);
    }
    std::wstring const& ShotPath() const { return shotPath_; }
    // Its process is about to be ended: picture `shot` (0: none) is awaited first.
    void PictureBeforeEnd(std::uint32_t shot) {
        endPictureBegun_ = true;
        shot_ = shot;
    }
    bool EndPictureBegun() const { return endPictureBegun_; }

    // The last question was sent; its answer comes through Answered.
    void AskedAgain() { askedAgain_ = true; }
    bool AwaitsAnswer() const { return askedAgain_ && answer_ == Answer::None; }
    void Answered(bool answered) { answer_ = answered ? Answer::Yes : Answer::No; }

    void Clear() { *this = {}; }

private:
    enum class Answer : std::uint8_t { None, Yes, No };

    bool active_ = false;
    RestartReason reason_ = RestartReason::Hung;
    bool closeAsked_ = false;
    std::int64_t closeAskedAt_ = 0;
    bool askedAgain_ = false;
    Answer answer_ = Answer::None;
    std::uint32_t shot_ = 0;
    std::wstring shotPath_;
    bool endPictureBegun_ = false;
    std::wstring details_;
    std::wstring explained_;
};

}  // namespace vigilon
