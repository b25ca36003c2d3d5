#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/remote_command.h"
#include "engine/program_status.h"
#include "engine/status_snapshot.h"
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
    // A picture of the named program's window: its path, empty when none could be taken, nothing
    // when no program has that name.
    virtual std::optional<std::wstring> Screenshot(std::wstring const& name) = 0;
    // Ends Vigilon once the answer has gone back.
    virtual void Exit() = 0;
    // Opens the editor, above every window kept on top, once the answer has gone back.
    virtual void OpenEditor() = 0;
};

// What came of restarting `program`, as a script is told it.
RemoteAnswer RestartAnswerOf(std::wstring const& program, WatchEngine::RestartAnswer answer);

// What came of asking to start `program`, as a script is told it.
RemoteAnswer StartAnswerOf(std::wstring const& program, StartReply const& reply);

// Carries out the command and says what came of it, with the command's exit code.
RemoteAnswer AnswerRemote(RemoteRequest const& request, RemoteTarget& target);

}  // namespace vigilon
