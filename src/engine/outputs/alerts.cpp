#include "engine/outputs/alerts.h"

namespace vigilon {

void Alerts::Set(std::wstring url, AlertFormat format, int afterSeconds, std::vector<std::wstring> kinds) {
    delivery_.Set(std::move(url), format);
    // Off, the gate hears of no trouble and no run: what it held is stale by the time alerts are on again.
    if (!delivery_.On()) gate_ = AlertGate{};
    gate_.SetAfterSeconds(afterSeconds);
    gate_.SetKinds(std::move(kinds));
}

void Alerts::Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                     std::wstring_view screenshot) {
    if (!On() || (programsHeld_ && !program.empty())) return;
    std::vector<AlertGate::Due> due;
    gate_.Trouble(kind, program, details, screenshot, Now(), due);
    Queue(due);
}

void Alerts::HoldPrograms(bool held) {
    programsHeld_ = held;
    if (held) gate_.DropProgramTroubles();
}

void Alerts::Running(std::wstring const& program) {
    if (!On() || gate_.Idle()) return;
    std::vector<AlertGate::Due> due;
    gate_.Running(program, Now(), due);
    Queue(due);
}

void Alerts::Tick() {
    if (!On()) return;
    if (!gate_.Idle()) {
        std::vector<AlertGate::Due> due;
        gate_.Tick(Now(), due);
        Queue(due);
    }
    delivery_.Tick();
}

void Alerts::Queue(std::vector<AlertGate::Due>& due) {
    for (AlertGate::Due& each : due) {
        AlertEvent event;
        event.kind = std::move(each.kind);
        event.program = std::move(each.program);
        event.details = std::move(each.details);
        event.screenshot = std::move(each.screenshot);
        event.problem = each.problem;
        event.computer = platform_.system.ComputerName();
        event.time = platform_.events.LocalTimeNow();
        if (!event.program.empty() && factsOf_) event.facts = factsOf_(event.program);
        delivery_.Add(std::move(event));
    }
    // Posted at the next second's Tick, never from here: a trouble may be reported while the
    // delivery itself is telling of a failure.
}

std::optional<std::uint32_t> Alerts::BeginTest() {
    AlertEvent event;
    event.kind = L"test";
    event.details = L"A test alert from Vigilon: alerts reach this place.";
    event.problem = false;
    event.computer = platform_.system.ComputerName();
    event.time = platform_.events.LocalTimeNow();
    return delivery_.BeginTest(event);
}

}  // namespace vigilon
