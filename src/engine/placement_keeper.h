#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/watched_program.h"
#include "engine/placement.h"
#include "engine/supervisor.h"
#include "platform/desktop.h"

namespace vigilon {

// Keeps each program's window as its Show, Monitor and OnTop keys say, and gives back what it
// took when it lets go of a window: the style it had before it was made full screen, its place
// then, and the topmost flag Vigilon set.
//
// How it works: at every pass, for a program with a rule, the window's placement is read (which
// asks nothing of the window's owner) and only what differs from the rule is changed, through
// requests that never wait for the owner; a hung window is left as it is. The display list is
// read once, and again when the displays change. A window found out of place is told in the
// history once, until a pass finds it in place again, so a program that fights its rule does
// not fill the history.
class PlacementKeeper {
public:
    PlacementKeeper(Desktop& desktop, SupervisionJournal& journal) : desktop_(desktop), journal_(journal) {}

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

    // Lets go of every window (Vigilon ends): each gets back what was taken from it.
    void LetGoOfAll();

    // While Vigilon's own windows are open (the editor, Status, a box) nothing is put back in its
    // place: a window kept on top, or shown again, would cover them. What is out of place then
    // is put back at the first pass after they close.
    void HoldBack(bool held) { heldBack_ = held; }
    // True when a window found is kept on top or full screen: Vigilon's own windows must then
    // stand above it.
    bool AnyAbove() const;
    // Lets go of the windows of the programs `listed` no longer names.
    void ForgetUnlisted(std::function<bool(std::wstring const&)> const& listed);

private:
    struct Held {
        WindowHandle window = 0;
        RestartRules texts;   // the keys as last read; their unusable values were told of
        bool rulesRead = false;
        PlacementRule rule;
        std::optional<std::uint32_t> ownStyle;  // the style it had before it was made full screen
        WindowRect ownRect;                     // and where it was then
        bool madeTopmost = false;               // Vigilon made it topmost
        bool outOfPlace = false;                // the last look found it out of place, and said so
    };

    void ReadRule(WatchedProgram const& record, Held& held);
    void Apply(std::wstring const& name, Held& held);
    // Gives the window back what was taken from it that the rule no longer wants.
    void LetGo(std::wstring const& name, Held& held, bool all);
    std::vector<DisplayInfo> const& Displays();

    Desktop& desktop_;
    SupervisionJournal& journal_;
    std::map<std::wstring, Held> held_;
    std::vector<DisplayInfo> displays_;
    bool displaysRead_ = false;
    bool heldBack_ = false;
};

}  // namespace vigilon
