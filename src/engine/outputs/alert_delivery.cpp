#include "engine/outputs/alert_delivery.h"

#include <iterator>

namespace vigilon {
namespace {

std::wstring ReasonOf(HttpClient::Outcome const& outcome) {
    return outcome.status != 0 ? L"answered with HTTP status " + std::to_wstring(outcome.status) : outcome.error;
}

std::wstring LostSuffix(int lost) {
    if (lost == 0) return L"";
    return L" (" + std::to_wstring(lost) + (lost == 1 ? L" earlier alert was" : L" earlier alerts were") +
           L" not delivered)";
}

}  // namespace

void AlertDelivery::Set(std::wstring url, AlertFormat format) {
    if (!url.empty() && !AlertUrlProblem(url).empty()) url.clear();
    format_ = format;
    if (url == url_) return;
    url_ = std::move(url);
    failureSaid_ = false;
    tries_ = 0;
    nextAt_ = 0;
    if (!url_.empty()) return;
    // Off: the post under way is given up unheard, and nothing more is sent.
    if (pending_) platform_.http.Cancel(*pending_);
    pending_.reset();
    waiting_.clear();
    lost_ = 0;
}

void AlertDelivery::Add(AlertEvent event) {
    if (!On()) return;
    if (waiting_.size() >= kMostWaiting) {
        // The oldest goes, unless it is the one under way.
        auto const oldest = pending_ ? std::next(waiting_.begin()) : waiting_.begin();
        // The one waiting for a retry goes: the next is tried when it is due, not at the retry's time.
        if (oldest == waiting_.begin()) {
            tries_ = 0;
            nextAt_ = 0;
        }
        waiting_.erase(oldest);
        ++lost_;
    }
    waiting_.push_back(std::move(event));
}

void AlertDelivery::Tick() {
    if (!On()) return;
    TakeOutcome();
    if (pending_ || waiting_.empty() || Now() < nextAt_) return;
    Start();
}

void AlertDelivery::Start() {
    AlertEvent event = waiting_.front();
    event.details += LostSuffix(lost_);
    carried_ = lost_;
    AlertRequest const request = AlertRequestFor(AlertFormatFor(format_, url_), url_, event);
    pending_ = platform_.http.Post(request.url, request.contentType, request.body, kTimeoutMilliseconds);
    if (!pending_) Failed(L"the request could not be started", true);
}

void AlertDelivery::TakeOutcome() {
    if (!pending_) return;
    std::optional<HttpClient::Outcome> const outcome = platform_.http.Finished(*pending_);
    if (!outcome) return;
    pending_.reset();
    if (!outcome->ok) {
        Failed(ReasonOf(*outcome), !Refused(outcome->status));
        return;
    }
    waiting_.pop_front();
    lost_ -= carried_;
    carried_ = 0;
    Reached();
}

void AlertDelivery::Reached() {
    tries_ = 0;
    nextAt_ = 0;
    if (!failureSaid_) return;
    failureSaid_ = false;
    journal_.Log(L"alert", {}, L"delivered again to " + Site());
}

bool AlertDelivery::Refused(std::uint32_t status) {
    // A client error says the same post would be refused again: not tried again. But for a time
    // out and "too many requests", which pass.
    return status >= 400 && status < 500 && status != 408 && status != 429;
}

void AlertDelivery::Failed(std::wstring const& reason, bool retry) {
    if (retry && tries_ < static_cast<int>(std::size(kRetryAfter))) {
        nextAt_ = Now() + kRetryAfter[tries_++];
        return;
    }
    int const tried = tries_ + 1;
    // Given up: the next one is tried at once, and the one given up is counted in it.
    waiting_.pop_front();
    tries_ = 0;
    nextAt_ = 0;
    ++lost_;
    carried_ = 0;
    if (failureSaid_) return;
    failureSaid_ = true;
    std::wstring const details =
        Site() + L": " + reason +
        (tried == 1 ? std::wstring(L" (given up at once)") : L" (given up after " + std::to_wstring(tried) + L" tries)");
    journal_.Log(L"alert", {}, details);
    journal_.Notice(L"An alert to " + Site() + L" could not be delivered: " + reason + L".");
    journal_.Trouble(TroubleKind::AlertFailed, {}, details);
}

std::optional<std::uint32_t> AlertDelivery::BeginTest(AlertEvent const& event) {
    if (!On()) return std::nullopt;
    AlertRequest const request = AlertRequestFor(AlertFormatFor(format_, url_), url_, event);
    std::optional<std::uint32_t> const id =
        platform_.http.Post(request.url, request.contentType, request.body, kTimeoutMilliseconds);
    if (id) tests_.push_back(*id);
    return id;
}

std::vector<AlertDelivery::SettledTest> AlertDelivery::SettledTests() {
    std::vector<SettledTest> settled;
    std::erase_if(tests_, [&](std::uint32_t id) {
        std::optional<HttpClient::Outcome> outcome = platform_.http.Finished(id);
        if (!outcome) return false;
        // Accepted: the place is reached again, and what waits for a retry goes now.
        if (outcome->ok) Reached();
        settled.push_back({id, std::move(*outcome)});
        return true;
    });
    return settled;
}

}  // namespace vigilon
