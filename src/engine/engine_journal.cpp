#include "engine/watch_engine.h"

#include <utility>

#include "engine/waiting_on.h"
#include "support/application_title.h"
#include "support/local_time.h"
#include "support/message.h"

namespace vigilon {

void WatchEngine::Notify(std::wstring const& message, std::wstring_view program) {
    Log(L"message", program, message);
    if (noticeMode_ == NoticeMode::Tray) {
        host_.ShowNotice(message);
        return;
    }
    notices_.push_back(message);
}

WatchEngine::Outcome WatchEngine::ShowNotices() {
    while (!notices_.empty()) {
        std::wstring const message = std::move(notices_.front());
        notices_.erase(notices_.begin());
        {
            WaitingOn<Hold> const waiting(waitingOn_, Hold::Notice);
            ShowMessage(platform_.system, message, kMbIconExclamation, kApplicationTitle);
        }
        windows_.Stale();  // windows came and went while the box was open
        processes_.Stale();
        if (Interrupted()) {
            notices_.clear();  // the history has them; the pass that would have shown them is over
            return Outcome::StopPass;
        }
    }
    return Outcome::Next;
}

void WatchEngine::Log(std::wstring_view event, std::wstring_view program, std::wstring_view details) {
    // A value the settings check named already is not said again as a pass meets it.
    if (event == L"ignored" && settingsSaid_.contains(SaidKey(program, details))) return;
    ++revision_;
    if (!program.empty()) {
        supervisor_.StateOf(std::wstring(program)).lastEvent = {platform_.events.LocalTimeNow(), std::wstring(event),
                                                                std::wstring(details)};
    }
    if (history_.Record(event, program, details) || historyFailureReported_) return;
    // Said once, without holding anything up; later lines are tried quietly.
    historyFailureReported_ = true;
    host_.ShowNotice(L"The event history could not be written to " + history_.Path() + L".");
    reporter_.Report(TroubleKind::HistoryUnwritable, {}, history_.Path());
}

void WatchEngine::RecordStart(std::wstring_view details, std::wstring_view policies) {
    startedAt_ = platform_.events.LocalTimeNow();
    computer_ = platform_.system.ComputerName();
    std::wstring line = std::wstring(details) + L", notices " + (noticeMode_ == NoticeMode::Tray ? L"Tray" : L"Box");
    if (!settingsProblems_.empty()) line += L", " + ProblemCount(settingsProblems_.size(), settingsFileName_);
    if (!policies.empty()) line += L", policies " + std::wstring(policies);
    Log(L"start", {}, line);
    reporter_.Report(TroubleKind::Started, {}, line);
    startRecorded_ = true;
    SayNewSettingsProblems();
}

void WatchEngine::RecordExit() {
    escalation_.Cancel(L"Exit");  // a countdown dies with Vigilon: nothing would end it
    WakeDisplays(L"Vigilon ends");  // nothing would wake them at the next start of hours
    PublishLastMetrics();  // before the last line, which says that Vigilon ends
    Log(L"exit", {});
    reporter_.Report(TroubleKind::Exited, {}, {});
}

}  // namespace vigilon
