#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/health_probe.h"

namespace vigilon::testing {

// Scripted answers by target (a URL, "host:port", a path, a command line). A check's answer is the
// one scripted when it begins, there to be taken afterwards, never within the call that began it;
// a target with no answer scripted, or any while `stalled`, never ends, like a server that never
// answers.
class FakeHealthProbe final : public HealthProbe {
public:
    std::map<std::wstring, HealthAnswer> answers;
    bool stalled = false;
    std::vector<HealthQuestion> checks;  // each check begun, in order
    std::function<void(std::uint32_t ticket, HealthQuestion const&)> onBegin;
    std::function<void(std::uint32_t ticket, HealthAnswer const&)> onTake;  // as an answer is taken

    static std::wstring TargetOf(HealthQuestion const& question) {
        return question.kind == HealthKind::Tcp ? question.target + L":" + std::to_wstring(question.port) : question.target;
    }
    std::uint32_t Begin(HealthQuestion const& question) override {
        checks.push_back(question);
        auto const it = answers.find(TargetOf(question));
        pending_[++last_] = stalled || it == answers.end() ? std::nullopt : std::optional<HealthAnswer>(it->second);
        if (onBegin) onBegin(last_, question);
        return last_;
    }
    std::optional<HealthAnswer> Take(std::uint32_t ticket) override {
        auto const it = pending_.find(ticket);
        if (it == pending_.end() || !it->second) return std::nullopt;
        HealthAnswer const answer = *it->second;
        pending_.erase(it);
        if (onTake) onTake(ticket, answer);
        return answer;
    }
    void Drop(std::uint32_t ticket) override { pending_.erase(ticket); }
    // Checks begun whose answer nobody has taken or dropped.
    std::size_t Outstanding() const { return pending_.size(); }
    std::vector<std::uint32_t> OutstandingTickets() const {
        std::vector<std::uint32_t> tickets;
        for (auto const& [ticket, answer] : pending_) tickets.push_back(ticket);
        return tickets;
    }

private:
    std::uint32_t last_ = 0;
    std::map<std::uint32_t, std::optional<HealthAnswer>> pending_;
};

}  // namespace vigilon::testing
