#pragma once

#include "engine/watch_host.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_event_loop.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system_services.h"
#include "platform/platform.h"

namespace vigilon::testing {

// Every fake, and the bundle the core takes.
struct FakePlatform {
    FakeProfileStore profile;
    FakeRegistry registry;
    FakeDesktop desktop;
    FakeFileSystem files;
    FakeSystemServices system;
    FakeShell shell;
    FakeEventLoop events;
    Platform view{profile, registry, desktop, files, system, shell, events};
};

class FakeWatchHost final : public WatchHost {
public:
    WindowHandle mainWindow = 0x77;
    int mainWindowShown = 0;
    int timerEnabled = 0;
    bool ending = false;

    WindowHandle MainWindow() override { return mainWindow; }
    void ShowMainWindow() override { ++mainWindowShown; }
    void EnableTimer() override { ++timerEnabled; }
    bool Ending() override { return ending; }
};

}  // namespace vigilon::testing
