#include <algorithm>

#include "engine/watch_engine.h"

namespace vigilon {

void WatchEngine::SetDisplayOff(bool on) {
    displays_.SetOn(on);
    if (!on) WakeDisplays(L"DisplayOff is off");
}

void WatchEngine::DecideDisplays() {
    if (!displays_.On()) return;
    DisplaySleep::Hours hours;
    for (int i = 1; i <= programs_.Count(); ++i) {
        ProgramState const* state = supervisor_.Find(programs_[i].name);
        if (state == nullptr || state->hours.ranges.empty()) continue;
        HoursWatch const& watch = state->hours;
        hours.anyWithHours = true;
        // Not looked at yet: taken as inside, so nothing sleeps before the clock was read.
        if (watch.on || !watch.looked) {
            if (!hours.anyInside) hours.beginning = programs_[i].name;
            hours.anyInside = true;
        } else if (watch.nextStart) {
            hours.nextStart = std::min(hours.nextStart.value_or(*watch.nextStart), *watch.nextStart);
        }
    }
    displays_.Decide(hours, launchPaused_);
    placements_.HoldWhileAsleep(displays_.Asleep());
}

void WatchEngine::WakeDisplays(std::wstring_view why) {
    displays_.Wake(why);
    placements_.HoldWhileAsleep(false);
}

}  // namespace vigilon
