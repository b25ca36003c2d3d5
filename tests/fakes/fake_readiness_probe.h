#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/readiness_probe.h"

namespace vigilon::testing {

// Paths and servers that are there, by the path or by "host:port". A check looks when it begins,
// and its result is there to be taken afterwards, never within the call that began it; with
// `stalled`, checks never end, like a share that does not answer.
class FakeReadinessProbe final : public ReadinessProbe {
public:
    std::set<std::wstring> there;
    bool stalled = false;
    std::vector<std::wstring> checks;  // what each check looked for, in order

    std::uint32_t Begin(std::wstring const& path, std::wstring const& host, int port) override {
        std::wstring const what = path.empty() ? host + L":" + std::to_wstring(port) : path;
        checks.push_back(what);
        pending_[++last_] = stalled ? ProbeResult::Pending : there.count(what) != 0 ? ProbeResult::There : ProbeResult::Missing;
        return last_;
    }
    ProbeResult Take(std::uint32_t ticket) override {
        auto const it = pending_.find(ticket);
        if (it == pending_.end()) return ProbeResult::Missing;
        ProbeResult const result = it->second;
        if (result != ProbeResult::Pending) pending_.erase(it);
        return result;
    }
    void Drop(std::uint32_t ticket) override { pending_.erase(ticket); }
    // Checks begun whose result nobody has taken or dropped.
    std::size_t Outstanding() const { return pending_.size(); }

private:
    std::uint32_t last_ = 0;
    std::map<std::uint32_t, ProbeResult> pending_;
};

}  // namespace vigilon::testing
