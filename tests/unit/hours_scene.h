#pragma once

#include <string>

#include "fakes/engine_scene.h"

namespace vigilon::testing {

// The engine watching one program, `name`, of C:\<name>.exe, its notices in the tray: a start shows
// its window, `caption`, at once and on screen, and the window closes when asked. The fake clock
// starts on Friday 2026-01-02 at 03:04:05.
struct OneProgramScene : EngineScene {
    OneProgramScene(std::wstring const& name, std::wstring const& caption) : exe(L"C:\\" + name + L".exe") {
        fake.files.AddFile(exe);
        AddProgram(name, name, exe);
        engine.SetNoticeMode(NoticeMode::Tray);
        fake.desktop.closeOnPost = true;
        fake.shell.onLaunch = [this, caption](FakeShell::Launch const&) {
            window = fake.desktop.Add(caption, true, false);
            fake.processes.images[fake.desktop.WindowProcessId(window)] = exe;
        };
    }

    // Moves the local clock on by `minutes` without passes (Vigilon asleep, or just time gone by).
    void Later(std::int64_t minutes) { fake.events.localShift += minutes * 60'000; }

    std::wstring const exe;
    WindowHandle window = 0;  // the last one started
};

}  // namespace vigilon::testing
