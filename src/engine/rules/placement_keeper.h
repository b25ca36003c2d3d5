#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/watched_program.h"
#include "engine/rules/placement.h"
#include "engine/supervisor.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"

namespace vigilon {

// Keeps each program's window as its Show, Monitor and OnTop keys say, and gives back what it
// took when it lets go of a window: the style it had before it was made full screen, its place
// then, and the topmost flag Vigilon set.
//
// How it works: at every pass, for a program with a rule, the window's placement is read (which
// asks nothing of the window's owner) and only what differs from the rule is asked for, as one
// request that never waits for the owner; a hung window is left as it is. The requests for a
// window are carried out in the order they were made, and each one's outcome comes back later:
// only then is the window said to be `placed`. While a request is under way no other is made for
// that window. A placement that did not take (a program that runs elevated refuses it) is said
// once, shown in the Status window, and tried again a minute later. The display list is read
// once, and again when the displays change. A window found out of place is told in the history
// once, until a pass finds it in place again, so a program that fights its rule does not fill the
// history. A new window for the program starts afresh.
class PlacementKeeper final : public Rule {
public:
    // How long a placement that did not take waits before it is tried again.
    static constexpr std::int64_t kRetryMilliseconds = 60'000;
    // The longest Vigilon's end waits for its windows to get back what was taken from them.
    static constexpr int kLetGoWaitMilliseconds = 300;

    // Keeps its holds in the programs' states.
    PlacementKeeper(Desktop& desktop, EventLoop& clock, SupervisionJournal& journal, Supervisor& supervisor)
        : desktop_(desktop), clock_(clock), journal_(journal), supervisor_(supervisor) {
        supervisor_.AddRule(*this);
    }

    // True when the program's window is kept on screen (Show other than Hidden): it is never
    // hidden when minimised, and Show/Hide Programs leaves it alone.
    static bool KeepsShown(WatchedProgram const& record);

    // The program's window, found by this pass: put where its rule wants it, unless launching is
    // paused (a technician at work: nothing is put back then). A rule taken away lets go of the
    // window, paused or not. True when the window is kept on screen.
    bool Keep(WatchedProgram const& record, WindowHandle window, bool launchPaused);

    // The displays changed, or the session came back (unlocked, reconnected): the display list is
    // read again, and every window held is put where it belongs now.
    void PlaceAgain(bool launchPaused);

    // Takes the outcomes of the requests that ended since the last call.
    void TakeOutcomes();

    // Lets go of every window (Vigilon ends): each gets back what was taken from it, waited for at
    // most kLetGoWaitMilliseconds.
    void LetGoOfAll();

    // While Vigilon's own windows are open (the editor, Status, a box) nothing is put back in its
    // place: a window kept on top, or shown again, would cover them. What is out of place then
    // is put back at the first pass after they close.
    void HoldBack(bool held) { heldBack_ = held; }
    // While the displays sleep on purpose (DisplayOff) nothing is put back either: a display in
    // power saving may drop out of the display list, and its windows are not on a failed screen.
    void HoldWhileAsleep(bool asleep) { asleep_ = asleep; }
    // True when a window found is kept on top or full screen: Vigilon's own windows must then
    // stand above it.
    bool AnyAbove() const;

    void Read(RuleTexts const& texts, ProgramState& state) const override;
    // The row of a running program says why its window could not be placed ("could not place:
    // access denied (error 5)"), until a placement takes.
    void Describe(ProgramStatus& row, ProgramState const& state, bool launchPaused) const override;
    // A program no longer listed: its window gets back what was taken from it.
    void Unlisted(std::wstring const& name, ProgramState& state) const override;

private:
    // A window being given back what was taken from it, for the history once it is done.
    struct Release {
        std::wstring name;
        std::wstring details;
    };

    void Apply(WindowHold& held);
    void Placed(std::wstring const& name, WindowHold& held, PlacementOutcome const& outcome);
    // A window refused a request: it is not asked again for kRetryMilliseconds.
    void NoteRefusal(WindowHandle window);
    bool Refused(WindowHandle window) const;
    // Gives the window back what was taken from it that the rule no longer wants.
    void LetGo(std::wstring const& name, WindowHold& held, bool all) const;
    std::vector<DisplayInfo> const& Displays();

    Desktop& desktop_;
    EventLoop& clock_;
    SupervisionJournal& journal_;
    Supervisor& supervisor_;
    // Windows that refused a placement, until when they are not asked again (monotonic
    // milliseconds): kept by window, so that one that goes to another program and back still waits.
    std::map<WindowHandle, std::int64_t> refusedUntil_;
    mutable std::map<std::uint64_t, Release> releases_;  // by request
    std::vector<DisplayInfo> displays_;
    bool displaysRead_ = false;
    bool heldBack_ = false;
    bool asleep_ = false;  // the displays sleep on purpose
};

}  // namespace vigilon
