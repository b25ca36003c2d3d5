#include <gtest/gtest.h>

#include "fakes/engine_scene.h"

namespace vigilon {
namespace {

using testing::FakeShell;

// The user edits the list while the engine waits on the message loop (a box in Box mode, a
// window shown): nothing the engine held before may be used after.
class ListEditTest : public ::testing::Test, protected testing::EngineScene {
protected:
    ListEditTest() {
        fake.shell.onLaunch = [this](FakeShell::Launch const& launch) {
            fake.desktop.Add(launch.file.substr(4, 4), true, false);  // "\"C:\\New1.exe\"": its window, "New1"
        };
    }
    void Passes(int count) {
        for (int i = 0; i < count; ++i) {
            engine.WatchPrograms();
            for (WindowHandle const window : fake.processes.questions) engine.WindowAnswered(window, false);
            fake.processes.questions.clear();
            fake.events.now += 1000;
        }
    }
};

TEST_F(ListEditTest, ProgramsAddedWhileABoxIsOpenStopThePassWhichStartsOverOnTheListAsItIsNow) {
    engine.SetHangSeconds(5);
    fake.files.AddFile(L"C:\\crash.exe");
    AddProgram(L"Crash", L"Crash", L"C:\\crash.exe");
    // A window with its caption but another program's, that stops answering: said in a box, left alone.
    WindowHandle const folder = fake.desktop.Add(L"Crash - folder", true, false);
    fake.processes.images[fake.desktop.WindowProcessId(folder)] = L"C:\\Windows\\explorer.exe";
    bool edited = false;
    fake.system.onMessage = [&] {
        if (std::exchange(edited, true)) return;
        // The table grows past its slots: every record moves.
        for (int i = 1; i <= 8; ++i) {
            std::wstring const name = L"New" + std::to_wstring(i);
            fake.files.AddFile(L"C:\\" + name + L".exe");
            AddProgram(name, name, L"C:\\" + name + L".exe");
        }
    };
    for (int i = 0; i < 90 && !edited; ++i) Passes(1);
    ASSERT_TRUE(edited);
    // The pass that showed the box started over, and started the programs added meanwhile.
    EXPECT_EQ(fake.shell.launches.size(), 8u);
    EXPECT_EQ(fake.system.messages.size(), 1u);  // said once
}

TEST_F(ListEditTest, ShowingEveryWindowShowsEachWhenAProgramIsDeletedMeanwhile) {
    std::vector<WindowHandle> windows;
    for (wchar_t const* name : {L"One", L"Two", L"Three"}) {
        AddProgram(name, name, L"");
        windows.push_back(fake.desktop.Add(name, false, false));
    }
    engine.WatchPrograms();
    // Showing the first processes events: the user deletes it in the editor meanwhile.
    fake.events.After(0, [this] { programs.Delete(1); });
    engine.ShowHidePrograms(true);
    for (WindowHandle const window : windows) EXPECT_TRUE(fake.desktop.IsVisible(window)) << window;
}

}  // namespace
}  // namespace vigilon
