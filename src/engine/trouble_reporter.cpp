#include "engine/trouble_reporter.h"

#include <algorithm>

#include "support/local_time.h"

namespace vigilon {
namespace {

std::uint16_t EventLogType(EventType type) {
    switch (type) {
    case EventType::Information: return kEventLogInformation;
    case EventType::Warning: return kEventLogWarning;
    case EventType::Error: return kEventLogError;
    }
    return kEventLogInformation;
}

}  // namespace

std::wstring UntoldSuffix(int untold) {
    if (untold <= 0) return L"";
    return L" (" + std::to_wstring(untold) + (untold == 1 ? L" more trouble" : L" more troubles") +
           L" since the last report)";
}

TroubleReporter::TroubleReporter(Platform& platform, TroubleJournal& journal, std::wstring historyPath)
    : platform_(platform), journal_(journal), historyPath_(std::move(historyPath)) {}

void TroubleReporter::Report(TroubleKind kind, std::wstring_view program, std::wstring_view details) {
    WriteEventLog(kind, program, details);
    if (!IsProblem(kind)) return;
    TroubleInfo const info = Describe(kind);
    if (program.empty()) {  // Vigilon's own: every one is told
        Run(info.word, program, details);
        return;
    }
    ProgramTrouble& trouble = troubles_[std::wstring(program)];
    std::int64_t const now = Now();
    trouble.lastTroubleAt = now;
    if (!trouble.inTrouble) {
        trouble = {true, now, now, 0};
        Run(info.word, program, details);
    } else if (now - trouble.lastRunAt >= kRepeatAfter) {
        Run(info.word, program, std::wstring(details) + UntoldSuffix(trouble.untold));
        trouble.lastRunAt = now;
        trouble.untold = 0;
    } else {
        ++trouble.untold;
    }
}

void TroubleReporter::Running(std::wstring const& program, std::int64_t runningSince) {
    auto const it = troubles_.find(program);
    if (it == troubles_.end() || !it->second.inTrouble) return;
    if (Now() - std::max(runningSince, it->second.lastTroubleAt) < kRecoveredAfter) return;
    std::wstring const details = L"ran 5 minutes without trouble" + UntoldSuffix(it->second.untold);
    troubles_.erase(it);
    journal_.Log(Describe(TroubleKind::Recovered).word, program, details);
    WriteEventLog(TroubleKind::Recovered, program, details);
    Run(Describe(TroubleKind::Recovered).word, program, details);
}

void TroubleReporter::WriteEventLog(TroubleKind kind, std::wstring_view program, std::wstring_view details) {
    if (!eventLog_) return;
    TroubleInfo const info = Describe(kind);
    platform_.eventLog.Write(EventLogType(info.type), MessageId(info), program, details);
}

void TroubleReporter::Run(std::wstring_view word, std::wstring_view program, std::wstring_view details) {
    if (command_.empty()) return;
    if (waiting_.size() >= kMostWaiting) {
        if (!failureSaid_) journal_.Log(L"command", {}, L"not run: " + std::to_wstring(kMostWaiting) + L" wait already");
        failureSaid_ = true;
        return;
    }
    waiting_.push_back({{L"VIGILON_EVENT", std::wstring(word)},
                        {L"VIGILON_PROGRAM", std::wstring(program)},
                        {L"VIGILON_DETAILS", std::wstring(details)},
                        {L"VIGILON_TIME", DateTimeText(platform_.events.LocalTimeNow())},
                        {L"VIGILON_COMPUTER", platform_.system.ComputerName()},
                        {L"VIGILON_HISTORY", historyPath_}});
    StartWaiting();
}

void TroubleReporter::Pass() {
    // A command's time is counted awake only: one running across a sleep is not ended on waking.
    std::int64_t const awake = platform_.events.AwakeMilliseconds();
    int ended = 0;
    std::erase_if(running_, [&](RunningCommand const& command) {
        if (platform_.commands.Finished(command.id)) return true;
        if (awake - command.startedAt < kLongestRun) return false;
        platform_.commands.End(command.id);
        ++ended;
        return true;
    });
    // Logged once the list is whole again: a line that cannot be written is itself a trouble,
    // which may start a command.
    for (int i = 0; i < ended; ++i) journal_.Log(L"command", {}, L"ended after running 2 minutes: " + command_);
    StartWaiting();
}

void TroubleReporter::StartWaiting() {
    while (running_.size() < kMostRunning && !waiting_.empty()) {
        Variables const variables = std::move(waiting_.front());
        waiting_.pop_front();
        std::optional<std::uint32_t> const id = platform_.commands.Start(command_, variables);
        if (!id) {
            // Said once, until a command starts again.
            if (!failureSaid_) {
                journal_.Log(L"command", {}, L"could not be started: " + command_);
                journal_.Notice(L"The command on trouble could not be started: " + command_);
            }
            failureSaid_ = true;
            continue;
        }
        failureSaid_ = false;
        running_.push_back({*id, platform_.events.AwakeMilliseconds()});
    }
}

}  // namespace vigilon
