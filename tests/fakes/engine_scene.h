#pragma once

#include <string>

#include "engine/watch_engine.h"
#include "fakes/fake_platform.h"

namespace vigilon::testing {

// A watch engine on the fake platform, with its program folder made current and an empty table:
// what every test of the engine starts from.
struct EngineScene {
    static constexpr wchar_t kFolder[] = L"C:\\Vigilon\\";

    EngineScene() {
        fake.files.AddFolder(kFolder);
        fake.files.currentDirectory = kFolder;
        programs.Reset(0, 5);
    }

    WatchedProgram& AddProgram(std::wstring const& name, std::wstring const& caption, std::wstring const& exe) {
        WatchedProgram& record = programs[programs.Add(name)];
        record.caption = caption;
        record.exe = exe;
        return record;
    }

    FakePlatform fake;
    FakeWatchHost host;
    WatchedPrograms programs;
    WatchEngine engine{fake.view, host, programs, kFolder};
};

}  // namespace vigilon::testing
