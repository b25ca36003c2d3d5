#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outputs/trouble.h"

namespace vigilon {

// The word an alert names a kind of trouble by: the history's word, but for the three kinds that
// share `message` (missing-file, refused-start, not-ended). Empty for a kind never alerted.
std::wstring_view AlertKindOf(TroubleKind kind);

// Decides which troubles become alerts, and when. A program's trouble waits AlertAfter: it is
// sent only when the program has not been seen running well since (so a restart within a second
// sends nothing; nor does a window that answers again), and once something was sent for it, one `recovered` follows when it runs again.
// Vigilon's own troubles go at once. As for the command on trouble, a program sends each kind at
// most once per kRepeatAfter, those held back counted in its next alert (a new outage after a
// `recovered` waits until the rule lets it go, and is sent then if still lasting); Vigilon's flapping own
// troubles (heartbeat, metrics) likewise. AlertKinds narrows the kinds sent. Times are monotonic
// milliseconds; the gate keeps no clock of its own, so it is driven by the engine's.
class AlertGate {
public:
    static constexpr std::int64_t kRepeatAfter = 600'000;

    // One alert due now.
    struct Due {
        std::wstring kind;  // AlertKindOf, or `recovered`
        std::wstring program;
        std::wstring details;
        std::wstring screenshot;
        bool problem = true;
    };

    void SetAfterSeconds(int seconds) { afterMs_ = std::int64_t{seconds} * 1000; }
    // The kinds sent (their AlertKindOf words, and `recovered`); empty for every kind.
    void SetKinds(std::vector<std::wstring> kinds) { kinds_ = std::move(kinds); }

    // A trouble was reported at `now`.
    void Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                 std::wstring_view screenshot, std::int64_t now, std::vector<Due>& due);
    // The program runs well at `now` (its window, or its process, there and answering): its
    // troubles before now are over.
    void Running(std::wstring const& program, std::int64_t now, std::vector<Due>& due);
    // Sends the troubles that have waited AlertAfter.
    void Tick(std::int64_t now, std::vector<Due>& due);
    // The program is no longer listed: what waits for it is dropped.
    void Forget(std::wstring const& program) { programs_.erase(program); }
    // Forgets every program `listed` says is no longer listed (deleted, or renamed).
    void ForgetUnlisted(std::function<bool(std::wstring const&)> const& listed);
    // Drops the programs' troubles waiting for their AlertAfter (launching paused, the watch held).
    void DropProgramTroubles();

    // True while nothing waits and no program is down after an alert: Tick then has nothing to do.
    bool Idle() const { return programs_.empty(); }

private:
    struct Waiting {
        TroubleKind kind;
        std::wstring details;
        std::wstring screenshot;
        std::int64_t at;
    };
    struct ProgramAlerts {
        std::vector<Waiting> waiting;      // troubles within their AlertAfter
        bool sent = false;                 // an alert went, and the recovery is owed
        std::int64_t sentSince = 0;        // the first trouble sent since it last ran
        std::int64_t lastTroubleAt = 0;    // the last trouble sent
        std::map<TroubleKind, std::int64_t> lastSentAt;
        std::map<TroubleKind, int> untold;  // held back by kRepeatAfter, said in the next alert
        bool Empty() const { return waiting.empty() && !sent && lastSentAt.empty(); }
    };

    bool Wanted(std::wstring_view word) const;
    // The repeat rule holds a trouble of this kind back: one was sent within kRepeatAfter.
    static bool HeldBack(ProgramAlerts const& alerts, TroubleKind kind, std::int64_t now);
    void Send(std::wstring const& program, ProgramAlerts& alerts, Waiting const& trouble, std::int64_t now,
              std::vector<Due>& due);
    void Prune(std::int64_t now);

    std::int64_t afterMs_ = 60'000;
    std::vector<std::wstring> kinds_;
    std::map<std::wstring, ProgramAlerts> programs_;
    std::map<TroubleKind, std::int64_t> ownLastSentAt_;
};

}  // namespace vigilon
