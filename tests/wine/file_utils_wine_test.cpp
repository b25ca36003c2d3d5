#include <windows.h>

#include <gtest/gtest.h>

#include "file_holder.h"
#include "platform/win32/win32_file_system.h"
#include "support/file_utils.h"
#include "wine_test_support.h"

namespace vigilon::testing {

namespace {

void CreateEmptyFile(std::wstring const& path) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

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
