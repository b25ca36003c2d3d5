#include <windows.h>

#include <gtest/gtest.h>

#include "hold_file.h"
#include "platform/win32/win32_file_system.h"
#include "support/file_utils.h"
#include "wine_test_support.h"

namespace vigilon::testing {

int HoldFile(std::wstring const& path, std::wstring const& ready, std::wstring const& release) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    HANDLE const readyEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready.c_str());
    HANDLE const releaseEvent = OpenEventW(SYNCHRONIZE, FALSE, release.c_str());
    if (readyEvent == nullptr || releaseEvent == nullptr) return 3;
    SetEvent(readyEvent);
    DWORD const waited = WaitForSingleObject(releaseEvent, 60000);
    CloseHandle(file);
    CloseHandle(readyEvent);
    CloseHandle(releaseEvent);
    return waited == WAIT_OBJECT_0 ? 0 : 4;
}

namespace {

void CreateEmptyFile(std::wstring const& path) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// Another process that holds a file open without sharing until the object goes away.
class FileHolder {
public:
    explicit FileHolder(std::wstring const& path) {
        std::wstring const tag = std::to_wstring(GetCurrentProcessId());
        std::wstring const readyName = L"VigilonHoldReady" + tag;
        std::wstring const releaseName = L"VigilonHoldRelease" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
        release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + kHoldFileSwitch + L" \"" + path +
                                   L"\" " + readyName + L" " + releaseName;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_)) {
            HANDLE const waitFor[] = {ready_, process_.hProcess};
            held_ = WaitForMultipleObjects(2, waitFor, FALSE, 30000) == WAIT_OBJECT_0;
        }
    }
    FileHolder(FileHolder const&) = delete;
    FileHolder& operator=(FileHolder const&) = delete;
    ~FileHolder() {
        SetEvent(release_);
        if (process_.hProcess != nullptr) {
            WaitForSingleObject(process_.hProcess, 30000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool Held() const { return held_; }

private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool held_ = false;
};

TEST(FileExistsOnWindows, FilesAreFilesAndFoldersAreNot) {
    TempFolder folder;
    Win32FileSystem files;
    CreateEmptyFile(folder / L"a.txt");
    EXPECT_TRUE(FileExists(files, folder / L"a.txt"));
    EXPECT_FALSE(FileExists(files, folder.Path()));
    EXPECT_FALSE(FileExists(files, folder / L"missing.txt"));
    EXPECT_FALSE(FileExists(files, folder / L"missing\\a.txt"));
    EXPECT_FALSE(FileExists(files, L""));
}

TEST(FileExistsOnWindows, AFileHeldOpenByAnotherProcessWithoutSharingExists) {
    TempFolder folder;
    Win32FileSystem files;
    std::wstring const path = folder / L"held.run";
    CreateEmptyFile(path);
    FileHolder holder(path);
    ASSERT_TRUE(holder.Held());
    // The other process really holds it: opening it again fails with a sharing violation.
    HANDLE const again = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(again, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(FileExists(files, path));
}

TEST(ChangeDirectoryOnWindows, AMissingFolderLeavesTheCurrentDirectory) {
    TempFolder folder;
    Win32FileSystem files;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ChangeDirectory(files, folder / L"missing");
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    ChangeDirectory(files, folder.Path());
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), folder.Path());
    SetCurrentDirectoryW(before);
}

}  // namespace
}  // namespace vigilon::testing
