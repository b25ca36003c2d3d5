#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/supervisor.h"
#include "platform/system_services.h"

namespace vigilon {

// DisplayOff=Hours: while at least one program has opening hours and none of them is inside them
// (a person's start outside its hours counts as inside), the displays are put into power saving.
// They are woken as soon as that no longer holds, whatever the reason: a program's hours begin, a
// person starts one, the key is turned off, launching is paused (someone is at work on the PC), or
// Vigilon ends. Each edge is asked of the system once and said in the history (`off`, `on`, a
// line of the PC's own), never at every pass.
class DisplaySleep {
public:
    DisplaySleep(SystemServices& system, SupervisionJournal& journal) : system_(system), journal_(journal) {}

    void SetOn(bool on) { on_ = on; }
    bool On() const { return on_; }
    bool Asleep() const { return asleep_; }

    // How the programs stand with their hours, gathered by the caller at the end of a pass.
    struct Hours {
        bool anyWithHours = false;                 // at least one program has Hours=
        bool anyInside = false;                    // one of them is inside its hours, or a person's start runs
        std::optional<std::int64_t> nextStart;     // wall minute: the earliest next start of hours
        std::wstring beginning;                    // a program whose hours run: the one that woke them
    };
    // After a pass: the displays sleep, or wake, as `hours` says.
    void Decide(Hours const& hours, bool launchPaused);
    // The displays are woken now, if asleep; `why` goes into the history.
    void Wake(std::wstring_view why);

private:
    SystemServices& system_;
    SupervisionJournal& journal_;
    bool on_ = false;
    bool asleep_ = false;
};

}  // namespace vigilon
