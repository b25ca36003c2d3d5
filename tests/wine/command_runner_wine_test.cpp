#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "file_holder.h"
#include "platform/win32/win32_command_runner.h"
#include "wine_test_support.h"

namespace vigilon {
namespace {

// Polls `condition` for up to 10 s: commands start through cmd.exe, which under Wine takes a
// second or more on a loaded machine.
template <typename Condition>
bool Within10Seconds(Condition condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

TEST(CommandRunner, RunsWithItsVariablesAndEndingItEndsWhatItStarted) {
    testing::TempFolder folder;
    Win32CommandRunner runner;

    std::wstring const out = folder / L"out.txt";
    std::pair<std::wstring, std::wstring> const word[] = {{L"VIGILON_WORD", L"hello"}};
    std::optional<std::uint32_t> const echo = runner.Start(L"echo %VIGILON_WORD%>\"" + out + L"\"", word);
    ASSERT_TRUE(echo.has_value());
    ASSERT_TRUE(Within10Seconds([&] { return runner.Finished(*echo); }));
    EXPECT_EQ(testing::ReadFileBytes(out), "hello\r\n");

    // A command that runs a program of its own, held up: ending the command ends that program too.
    std::wstring const held = folder / L"held.txt";
    CloseHandle(CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring const tag = std::to_wstring(GetCurrentProcessId());
    UniqueKernelHandle const ready(CreateEventW(nullptr, TRUE, FALSE, (L"VigilonCommandReady" + tag).c_str()));
    UniqueKernelHandle const release(CreateEventW(nullptr, TRUE, FALSE, (L"VigilonCommandRelease" + tag).c_str()));
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::optional<std::uint32_t> const holder =
        runner.Start(L"\"" + std::wstring(self) + L"\" " + testing::kHoldFileSwitch + L" \"" + held +
                         L"\" VigilonCommandReady" + tag + L" VigilonCommandRelease" + tag,
                     {});
    ASSERT_TRUE(holder.has_value());
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(runner.Finished(*holder));
    runner.End(*holder);
    EXPECT_TRUE(Within10Seconds([&] {
        HANDLE const file = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    })) << "the program the command started still holds its file";
    SetEvent(release.Get());
}

// The command runs in Vigilon's own folder whatever the current one is (during a start it is the
// watched program's), and cmd.exe is told not to look for programs in it before the path.
TEST(CommandRunner, RunsInVigilonsFolderAndNeverSearchesTheCurrentOneFirst) {
    testing::TempFolder folder;
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring own(self);
    own.resize(own.rfind(L'\\'));
    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    Win32CommandRunner runner;
    std::wstring const out = folder / L"where.txt";
    std::optional<std::uint32_t> const command =
        runner.Start(L"cd>\"" + out + L"\"& echo x%NoDefaultCurrentDirectoryInExePath%>>\"" + out + L"\"", {});
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(command.has_value());
    ASSERT_TRUE(Within10Seconds([&] { return runner.Finished(*command); }));
    std::string const text = testing::ReadFileBytes(out);
    std::string const ownBytes(own.begin(), own.end());  // the test folder's path is plain ASCII
    EXPECT_EQ(text, ownBytes + "\r\nx1\r\n");
}

}  // namespace
}  // namespace vigilon
