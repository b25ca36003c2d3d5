#pragma once

#include <utility>

namespace vigilon {

// What the main window is doing, and what that allows: passes run only while Watching, never while
// the editor is open, and nothing starts again once Vigilon ends.
//   Idle --StartWatching--> Watching
//   Idle or Watching --OpenEditor--> Editing --CloseEditor--> Idle
//   any --End--> Ending, for good
class MainMode {
public:
    // Idle: before the first start, and from the editor's closing until the timer starts again.
    enum class Mode { Idle, Watching, Editing, Ending };

    bool Watching() const { return mode_ == Mode::Watching; }
    bool Editing() const { return mode_ == Mode::Editing; }
    bool Ending() const { return mode_ == Mode::Ending; }

    // Each is false, and changes nothing, where its move is not allowed.
    bool StartWatching() { return Move(Mode::Watching, mode_ == Mode::Idle || mode_ == Mode::Watching); }
    bool OpenEditor() { return Move(Mode::Editing, mode_ == Mode::Idle || mode_ == Mode::Watching); }
    bool CloseEditor() { return Move(Mode::Idle, mode_ == Mode::Editing); }
    bool End() { return Move(Mode::Ending, mode_ != Mode::Ending); }

    // Runs `pass` while watching. A pass handles messages while it waits, so requests arrive inside
    // one: a Tick is dropped, while a pass asked for (a watched program has ended) runs right after
    // the one under way, unless watching has stopped meanwhile.
    template <class Pass>
    void RunPass(Pass&& pass) {
        if (!Watching()) return;
        if (std::exchange(passBusy_, true)) {
            passWanted_ = true;
            return;
        }
        do {
            passWanted_ = false;
            pass();
        } while (passWanted_ && Watching());
        passBusy_ = false;
    }
    template <class Pass>
    void Tick(Pass&& pass) {
        if (!passBusy_) RunPass(pass);
    }

private:
    bool Move(Mode to, bool allowed) {
        if (allowed) mode_ = to;
        return allowed;
    }

    Mode mode_ = Mode::Idle;
    bool passBusy_ = false;
    bool passWanted_ = false;  // asked for while a pass ran
};

}  // namespace vigilon
