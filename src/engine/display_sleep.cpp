#include "engine/display_sleep.h"

#include "engine/rules/hours_clock.h"

namespace vigilon {

void DisplaySleep::Decide(Hours const& hours, bool launchPaused) {
    if (!on_) return Wake(L"DisplayOff is off");
    if (launchPaused) return Wake(L"launching is paused");
    if (!hours.anyWithHours) return Wake(L"no program has hours");
    if (hours.anyInside) return Wake(hours.beginning.empty() ? L"a program runs" : hours.beginning + L" runs");
    if (asleep_) return;
    asleep_ = true;
    system_.SetDisplaysAsleep(true);
    std::wstring const until = hours.nextStart ? L" until " + WallMinuteText(*hours.nextStart) : L"";
    journal_.Log(L"off", {}, L"displays put to sleep: no program is inside its hours" + until);
}

void DisplaySleep::Wake(std::wstring_view why) {
    if (!asleep_) return;
    asleep_ = false;
    system_.SetDisplaysAsleep(false);
    journal_.Log(L"on", {}, L"displays woken: " + std::wstring(why));
}

}  // namespace vigilon
