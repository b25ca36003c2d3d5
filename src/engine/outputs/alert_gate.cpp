#include "engine/outputs/alert_gate.h"

#include <algorithm>

namespace vigilon {
namespace {

// What an alert adds for the troubles of its program held back since the last one, kind by kind.
std::wstring HeldBackSuffix(std::map<TroubleKind, int> const& untold) {
    std::wstring kinds;
    int total = 0;
    for (auto const& [kind, count] : untold) {
        total += count;
        kinds += (kinds.empty() ? L"" : L", ") + std::to_wstring(count) + L" " + std::wstring(AlertKindOf(kind));
    }
    if (total == 0) return L"";
    return L" (" + std::to_wstring(total) + (total == 1 ? L" more trouble" : L" more troubles") +
           L" since the last alert: " + kinds + L")";
}

std::wstring Duration(std::int64_t milliseconds) {
    std::int64_t const seconds = milliseconds / 1000;
    if (seconds < 60) return std::to_wstring(seconds) + L" s";
    if (seconds < 3600) return std::to_wstring(seconds / 60) + L" min " + std::to_wstring(seconds % 60) + L" s";
    return std::to_wstring(seconds / 3600) + L" h " + std::to_wstring(seconds / 60 % 60) + L" min";
}

}  // namespace

std::wstring_view AlertKindOf(TroubleKind kind) {
    switch (kind) {
    case TroubleKind::MissingFile: return L"missing-file";
    case TroubleKind::LaunchFailed: return L"refused-start";
    case TroubleKind::NotEnded: return L"not-ended";
    // Not sent: Vigilon's start and end, the daily restart (planned), its own recovery (alerts
    // say their own), and an alert that failed (it could not be sent the same way).
    case TroubleKind::Started:
    case TroubleKind::Exited:
    case TroubleKind::Scheduled:
    case TroubleKind::Recovered:
    case TroubleKind::AlertFailed: return L"";
    default: return Describe(kind).word;
    }
}

bool AlertGate::Wanted(std::wstring_view word) const {
    return !word.empty() && (kinds_.empty() || std::find(kinds_.begin(), kinds_.end(), word) != kinds_.end());
}

void AlertGate::Trouble(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                        std::wstring_view screenshot, std::int64_t now, std::vector<Due>& due) {
    std::wstring_view const word = AlertKindOf(kind);
    if (!Wanted(word)) return;
    if (program.empty()) {
        if (kind == TroubleKind::HeartbeatFailed || kind == TroubleKind::MetricsUnwritable) {
            auto const last = ownLastSentAt_.find(kind);
            if (last != ownLastSentAt_.end() && now - last->second < kRepeatAfter) return;
            ownLastSentAt_[kind] = now;
        }
        due.push_back({std::wstring(word), {}, std::wstring(details), std::wstring(screenshot), true});
        return;
    }
    std::wstring const name(program);
    ProgramAlerts& alerts = programs_[name];
    alerts.waiting.push_back({kind, std::wstring(details), std::wstring(screenshot), now});
    if (afterMs_ == 0) Tick(now, due);
}

void AlertGate::Running(std::wstring const& program, std::int64_t now, std::vector<Due>& due) {
    auto const found = programs_.find(program);
    if (found == programs_.end()) return;
    ProgramAlerts& alerts = found->second;
    // Running again after these troubles, within their AlertAfter: none is sent. A trouble told
    // in this very moment (the pass that finds the window gone) is not over yet.
    // One that lasted AlertAfter and waited only for the repeat rule is counted in the next alert.
    std::erase_if(alerts.waiting, [&](Waiting const& trouble) {
        if (trouble.at >= now) return false;
        if (now - trouble.at >= afterMs_ && HeldBack(alerts, trouble.kind, now)) ++alerts.untold[trouble.kind];
        return true;
    });
    if (alerts.sent && alerts.lastTroubleAt < now) {
        alerts.sent = false;
        if (Wanted(L"recovered")) {
            due.push_back({L"recovered", program, L"running again after " + Duration(now - alerts.sentSince), {}, false});
        }
    }
    Prune(now);
}

void AlertGate::Tick(std::int64_t now, std::vector<Due>& due) {
    for (auto& [program, alerts] : programs_) {
        std::vector<Waiting> lasting;
        std::swap(lasting, alerts.waiting);
        for (Waiting& trouble : lasting) {
            // A new outage after a recovery was sent is held back by the repeat rule only until
            // the rule lets it go, and sent then if the program is still down: never swallowed.
            bool const early = now - trouble.at < afterMs_ || (!alerts.sent && HeldBack(alerts, trouble.kind, now));
            if (early) {
                alerts.waiting.push_back(std::move(trouble));
            } else {
                Send(program, alerts, trouble, now, due);
            }
        }
    }
    Prune(now);
}

void AlertGate::Send(std::wstring const& program, ProgramAlerts& alerts, Waiting const& trouble, std::int64_t now,
                     std::vector<Due>& due) {
    if (HeldBack(alerts, trouble.kind, now)) {
        ++alerts.untold[trouble.kind];
        return;
    }
    due.push_back({std::wstring(AlertKindOf(trouble.kind)), program, trouble.details + HeldBackSuffix(alerts.untold),
                   trouble.screenshot, true});
    alerts.untold.clear();
    alerts.lastSentAt[trouble.kind] = now;
    if (!alerts.sent) alerts.sentSince = trouble.at;
    alerts.sent = true;
    alerts.lastTroubleAt = std::max(alerts.lastTroubleAt, trouble.at);
}

bool AlertGate::HeldBack(ProgramAlerts const& alerts, TroubleKind kind, std::int64_t now) {
    auto const last = alerts.lastSentAt.find(kind);
    return last != alerts.lastSentAt.end() && now - last->second < kRepeatAfter;
}

void AlertGate::ForgetUnlisted(std::function<bool(std::wstring const&)> const& listed) {
    std::erase_if(programs_, [&](auto const& each) { return !listed(each.first); });
}

void AlertGate::DropProgramTroubles() {
    for (auto& [program, alerts] : programs_) alerts.waiting.clear();
}

void AlertGate::Prune(std::int64_t now) {
    for (auto it = programs_.begin(); it != programs_.end();) {
        ProgramAlerts& alerts = it->second;
        std::erase_if(alerts.lastSentAt, [&](auto const& sent) { return now - sent.second >= kRepeatAfter; });
        if (alerts.Empty()) {
            it = programs_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace vigilon
