#pragma once

#include <cstdint>

namespace vigilon {

// What the main window is doing, and what that allows: the watch passes run only while Watching,
// never while the editor is open, and nothing starts again once Vigilon ends.
//
//   Idle --StartWatching--> Watching --StopWatching--> Idle
//   Idle or Watching --OpenEditor--> Editing --CloseEditor--> Idle
//   any --End--> Ending, for good
class MainMode {
public:
    enum class Mode : std::uint8_t {
        Idle,      // neither: before the first start, and between the editor closing and the timer starting
        Watching,  // the watch timer runs
        Editing,   // the editor is open: no pass runs, whoever asks
        Ending,    // Vigilon is ending: work under way is abandoned
    };

    Mode Now() const { return mode_; }
    bool Watching() const { return mode_ == Mode::Watching; }
    bool Editing() const { return mode_ == Mode::Editing; }
    bool Ending() const { return mode_ == Mode::Ending; }

    // The watch timer starts: true unless the editor is open or Vigilon ends.
    bool StartWatching() { return Move(Mode::Watching, mode_ == Mode::Idle || mode_ == Mode::Watching); }
    void StopWatching() { Move(Mode::Idle, mode_ == Mode::Watching); }
    // True when the editor was not open already: the history says so once each time.
    bool OpenEditor() { return Move(Mode::Editing, mode_ == Mode::Idle || mode_ == Mode::Watching); }
    bool CloseEditor() { return Move(Mode::Idle, mode_ == Mode::Editing); }
    // True the first time only.
    bool End() { return Move(Mode::Ending, mode_ != Mode::Ending); }

    // Runs `pass` while watching. A pass handles messages while it waits, so requests arrive
    // inside one: a tick is dropped, while a pass asked for (a watched program has ended) runs
    // right after the one under way, unless watching has stopped meanwhile.
    template <class Pass>
    void RunPass(Pass&& pass) {
        if (!Watching()) return;
        if (passBusy_) {
            passWanted_ = true;
            return;
        }
        passBusy_ = true;
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
