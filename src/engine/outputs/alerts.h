#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outputs/alert_delivery.h"
#include "engine/outputs/alert_gate.h"

namespace vigilon {

// Alerts to a chat room or a push service (AlertUrl): the gate decides what is sent and when,
// the delivery posts it. With no AlertUrl every call returns at once.
class Alerts {
public:
    // The program's entry as /status /json gives it, for the Json format; read only as an alert
    // is queued.
    using FactsOf = std::function<std::optional<ProgramFacts>(std::wstring const& program)>;

    Alerts(Platform& platform, SupervisionJournal& journal, FactsOf factsOf)
        : platform_(platform), delivery_(platform, journal), factsOf_(std::move(factsOf)) {}

    void Set(std::wstring url, AlertFormat format, int afterSeconds, std::vector<std::wstring> kinds);
    bool On() const { return delivery_.On(); }

    // A program's trouble is dropped while its troubles are held (HoldPrograms); Vigilon's own go on.
    void Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details, std::wstring_view screenshot);
    // While launching is paused or the watch is held (the editor open), the programs' troubles are
    // someone's doing (a technician closing programs): none is alerted, and those waiting are dropped.
    void HoldPrograms(bool held);
    // The programs no longer listed are forgotten: nothing more is sent for them.
    void ForgetUnlisted(std::function<bool(std::wstring const&)> const& listed) { gate_.ForgetUnlisted(listed); }
    // The program runs well now.
    void Running(std::wstring const& program);
    // Called every second, also while no pass runs.
    void Tick();

    // /alert test: see AlertDelivery::BeginTest.
    std::optional<std::uint32_t> BeginTest();
    std::vector<AlertDelivery::SettledTest> SettledTests() { return delivery_.SettledTests(); }
    std::wstring Site() const { return delivery_.Site(); }

private:
    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    void Queue(std::vector<AlertGate::Due>& due);

    Platform& platform_;
    AlertGate gate_;
    AlertDelivery delivery_;
    FactsOf factsOf_;
    bool programsHeld_ = false;
};

}  // namespace vigilon
