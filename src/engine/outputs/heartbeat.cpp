#include "engine/outputs/heartbeat.h"

#include <algorithm>

#include "support/text_case.h"
#include "support/utf8.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kStatusPlaceholder = L"{STATUS}";
constexpr std::wstring_view kMessagePlaceholder = L"{MSG}";

// `text` with every `placeholder` (case ignored) replaced by `value`.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view placeholder, std::wstring const& value) {
    std::wstring const upper = ToUpperText(std::wstring(text));
    std::wstring result;
    std::size_t from = 0;
    for (std::size_t at = upper.find(placeholder); at != std::wstring::npos; at = upper.find(placeholder, from)) {
        result.append(text.substr(from, at - from)).append(value);
        from = at + placeholder.size();
    }
    result.append(text.substr(from));
    return result;
}

// True when the URL holds "{status}" or "{msg}" (case ignored).
bool HasHeartbeatPlaceholder(std::wstring_view url) {
    std::wstring const upper = ToUpperText(std::wstring(url));
    return upper.find(kStatusPlaceholder) != std::wstring::npos || upper.find(kMessagePlaceholder) != std::wstring::npos;
}

std::wstring Programs(int count) { return std::to_wstring(count) + (count == 1 ? L" program" : L" programs"); }

}  // namespace

HeartbeatFacts HeartbeatFactsFrom(std::vector<ProgramStatus> const& rows, WatchingState watching) {
    HeartbeatFacts facts;
    if (watching != WatchingState::Watching) {
        facts.watching = watching == WatchingState::Stopped ? HeartbeatFacts::Watching::EditorOpen
                         : watching == WatchingState::Paused ? HeartbeatFacts::Watching::Paused
                                                             : HeartbeatFacts::Watching::Held;
        facts.allRunning = false;
        facts.reason = watching == WatchingState::Paused ? std::wstring(L"launching paused") : std::wstring(WatchingWord(watching));
        return facts;
    }
    int running = 0;
    int down = 0;
    for (ProgramStatus const& row : rows) {
        StateCount const count = StateRow(row.state).count;
        if (count == StateCount::Uncounted) continue;
        if (count == StateCount::Up) {
            ++running;
        } else if (down++ == 0) {
            facts.reason = row.name + L": " + StatusCells(row)[1];
        }
    }
    facts.allRunning = down == 0;
    if (down > 1) facts.reason += L" (" + std::to_wstring(down - 1) + L" more not running)";
    if (facts.allRunning) facts.reason = Programs(running) + L" running";
    return facts;
}

std::wstring UrlEncoded(std::wstring_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::wstring encoded;
    for (unsigned char const byte : ToUtf8(text)) {
        bool const unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            encoded += static_cast<wchar_t>(byte);
        } else {
            encoded += L'%';
            encoded += static_cast<wchar_t>(kHex[byte >> 4]);
            encoded += static_cast<wchar_t>(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

std::optional<std::wstring> HeartbeatRequestUrl(std::wstring_view url, HeartbeatFacts const& facts) {
    if (url.empty()) return std::nullopt;
    if (!HasHeartbeatPlaceholder(url)) {
        if (!facts.allRunning) return std::nullopt;
        return std::wstring(url);
    }
    std::wstring const withStatus = ReplaceAll(url, kStatusPlaceholder, facts.allRunning ? L"up" : L"down");
    return ReplaceAll(withStatus, kMessagePlaceholder, UrlEncoded(facts.reason));
}

std::wstring HeartbeatSite(std::wstring_view url) {
    std::size_t const scheme = url.find(L"://");
    std::size_t const hostFrom = scheme == std::wstring_view::npos ? 0 : scheme + 3;
    std::size_t const hostTo = url.find_first_of(L"/?#", hostFrom);
    std::wstring_view site = url.substr(0, hostTo);
    // A user name and password before the host are left out too.
    std::size_t const at = site.rfind(L'@');
    if (at != std::wstring_view::npos && at >= hostFrom) {
        return std::wstring(site.substr(0, hostFrom)) + std::wstring(site.substr(at + 1));
    }
    return std::wstring(site);
}

void Heartbeat::Set(std::wstring url, int seconds) {
    seconds = std::clamp(seconds, kMinSeconds, kMaxSeconds);
    if (url == url_ && seconds == seconds_) return;
    if (url != url_) {
        if (pending_) platform_.http.Cancel(*pending_);
        pending_.reset();
        failureSaid_ = false;
    }
    url_ = std::move(url);
    seconds_ = seconds;
    nextAt_ = Now() + std::int64_t{seconds_} * 1000;
}

void Heartbeat::TakeOutcome() {
    if (!pending_) return;
    std::optional<HttpClient::Outcome> const outcome = platform_.http.Finished(*pending_);
    if (!outcome) return;
    pending_.reset();
    if (!outcome->ok) {
        Failed(outcome->status != 0 ? L"answered with HTTP status " + std::to_wstring(outcome->status) : outcome->error);
        return;
    }
    if (!failureSaid_) return;
    failureSaid_ = false;
    journal_.Log(L"heartbeat", {}, L"answered again by " + HeartbeatSite(url_));
}

void Heartbeat::TellNow(HeartbeatFacts const& facts) {
    if (!On()) return;
    if (pending_) platform_.http.Cancel(*pending_);
    pending_.reset();
    Send(facts);
}

void Heartbeat::Send(HeartbeatFacts const& facts) {
    nextAt_ = Now() + std::int64_t{seconds_} * 1000;
    std::optional<std::wstring> const request = HeartbeatRequestUrl(url_, facts);
    if (!request) return;
    pending_ = platform_.http.Get(*request, kTimeoutMilliseconds);
    if (!pending_) Failed(L"the request could not be started");
}

void Heartbeat::Failed(std::wstring const& reason) {
    if (failureSaid_) return;
    failureSaid_ = true;
    std::wstring const details = HeartbeatSite(url_) + L": " + reason;
    journal_.Log(L"heartbeat", {}, details);
    journal_.Notice(L"The heartbeat to " + details + L".");
    journal_.Trouble(TroubleKind::HeartbeatFailed, {}, details);
}

}  // namespace vigilon
