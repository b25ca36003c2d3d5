#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/remote_command.h"
#include "engine/outputs/program_status.h"
#include "engine/outputs/status_snapshot.h"
#include "engine/watch_engine.h"

namespace vigilon {

// What the running copy does for a script's command.
class RemoteTarget {
public:
    virtual ~RemoteTarget() = default;
    virtual StatusSnapshot Snapshot() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual WatchEngine::RestartAnswer Restart(std::wstring const& name) = 0;
    virtual StartReply Start(std::wstring const& name) = 0;
    virtual void Close() = 0;
    // Begins a picture of the named program's window; its answer follows once it is done.
    virtual WatchEngine::AskedScreenshot Screenshot(std::wstring const& name) = 0;
    // Begins the named program's check; its answer follows once it has ended. A target that runs
    // no checks says that the program has none.
    virtual WatchEngine::AskedCheck Check(std::wstring const& /*name*/) {
        return {WatchEngine::AskedCheck::Kind::NoCheck, 0};
    }
    // Cancels the countdown before a logoff, restart or shutdown; false when none runs.
    virtual bool CancelCountdown() { return false; }
    // Posts a test message to AlertUrl; its answer follows once the service has answered. A target
    // without alerts says that none is set.
    virtual WatchEngine::AskedAlertTest AlertTest() { return {WatchEngine::AskedAlertTest::Kind::Off, 0}; }
    // Ends Vigilon once the answer has gone back.
    virtual void Exit() = 0;
    // Opens the editor, above every window kept on top, once the answer has gone back.
    virtual void OpenEditor() = 0;
};

// What came of restarting `program`, as a script is told it.
RemoteAnswer RestartAnswerOf(std::wstring const& program, WatchEngine::RestartAnswer answer);

// What came of asking to start `program`, as a script is told it.
RemoteAnswer StartAnswerOf(std::wstring const& program, StartReply const& reply);

// What came of a picture asked for of `program`: its path, or the reason there is none.
RemoteAnswer ScreenshotAnswerOf(std::wstring const& program, std::wstring const& path);

// What came of a check asked for of `program`: "<Name> works: <details>" with exit code 0, or
// "<Name> fails: <details>" with 1.
RemoteAnswer CheckAnswerOf(WatchEngine::SettledCheck const& check);

// What came of /alert test: the service's answer, with exit code 0 when it accepted the message.
RemoteAnswer AlertTestAnswerOf(std::wstring const& site, HttpClient::Outcome const& outcome);

// The code AnswerRemote gives, never an exit code, for a command whose answer follows later: a
// picture being taken, answered with ScreenshotAnswerOf once it is done; a check under way,
// answered with CheckAnswerOf once it has ended.
inline constexpr std::uint32_t kRemoteLater = 0xFFFF'FFFFu;

// Carries out the command and says what came of it, with the command's exit code.
RemoteAnswer AnswerRemote(RemoteRequest const& request, RemoteTarget& target);

}  // namespace vigilon
