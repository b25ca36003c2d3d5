#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/watch_engine.h"
#include "ui/remote_answers.h"

namespace vigilon::testing {

// A script's commands, carried out on the engine as the running copy carries them out.
class EngineTarget final : public RemoteTarget {
public:
    explicit EngineTarget(WatchEngine& engine) : engine_(engine) {}
    StatusSnapshot Snapshot() override { return engine_.Snapshot(); }
    void Pause() override { engine_.PauseLaunching(); }
    void Resume() override { engine_.LaunchPrograms(); }
    WatchEngine::RestartAnswer Restart(std::wstring const& name) override { return engine_.RestartProgram(name); }
    StartReply Start(std::wstring const& name) override { return engine_.StartProgram(name); }
    WatchEngine::AskedScreenshot Screenshot(std::wstring const& name) override { return engine_.AskScreenshot(name); }
    void Close() override { engine_.ClosePrograms(); }
    void Exit() override { exited = true; }
    bool CancelCountdown() override { return engine_.CancelEscalation(L"/cancel"); }
    void OpenEditor() override { editorOpened = true; }
    bool exited = false;
    bool editorOpened = false;

private:
    WatchEngine& engine_;
};

}  // namespace vigilon::testing
