#include "platform/win32/win32_health_probe.h"

#include <atomic>
#include <memory>

#include "platform/win32/win32_health_checks.h"

namespace vigilon {

struct Win32HealthProbe::Check {
    HealthQuestion question;
    HealthClock::time_point start;
    HealthCommand command;  // a Run check's
    HealthAnswer answer;    // written by the pool thread before `result` says Done
    std::atomic<State> result{State::Pending};
};

namespace {

std::int64_t MillisecondsSince(HealthClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(HealthClock::now() - start).count();
}

HealthAnswer Ask(Win32HealthProbe::Check& check, HealthClock::time_point deadline) {
    switch (check.question.kind) {
    case HealthKind::Http: return AskHttp(check.question, deadline);
    case HealthKind::Tcp: return AskTcp(check.question, deadline);
    case HealthKind::File: return AskFile(check.question);
    case HealthKind::Run: return AskRun(check.question, deadline, check.command);
    }
    return {};
}

DWORD WINAPI RunCheck(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Win32HealthProbe::Check>> const owner(
        static_cast<std::shared_ptr<Win32HealthProbe::Check>*>(context));
    Win32HealthProbe::Check& check = **owner;
    HealthAnswer answer = Ask(check, check.start + std::chrono::milliseconds(check.question.timeoutMilliseconds));
    answer.elapsedMilliseconds = MillisecondsSince(check.start);
    check.answer = std::move(answer);
    check.result.store(Win32HealthProbe::State::Done);
    return 0;
}

}  // namespace

Win32HealthProbe::~Win32HealthProbe() {
    // Vigilon is ending: a check's command is its own, and is not left running on its own.
    checks_.ForEach([](Check& check) { check.command.End(); });
}

std::uint32_t Win32HealthProbe::Begin(HealthQuestion const& question) {
    auto check = std::make_shared<Check>();
    check->question = question;
    check->start = HealthClock::now();
    check->answer.error = L"not started";  // the answer when the pool takes no more work
    return checks_.Begin(std::move(check), RunCheck, State::Done);
}

std::optional<HealthAnswer> Win32HealthProbe::Take(std::uint32_t ticket) {
    std::shared_ptr<Check> const check = checks_.Find(ticket);
    if (!check) return std::nullopt;
    if (checks_.Take(ticket, State::Done) == State::Done) return check->answer;
    std::int64_t const elapsed = MillisecondsSince(check->start);
    if (elapsed < check->question.timeoutMilliseconds) return std::nullopt;
    // Past the limit and still waiting on the system: the check ends here, unseen on its thread.
    Drop(ticket);
    HealthAnswer answer;
    answer.timedOut = true;
    answer.error = L"timed out";
    answer.elapsedMilliseconds = elapsed;
    return answer;
}

void Win32HealthProbe::Drop(std::uint32_t ticket) {
    if (std::shared_ptr<Check> const check = checks_.Find(ticket)) check->command.End();
    checks_.Forget(ticket);
}

}  // namespace vigilon
