#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "support/folders.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

// Answers the first folder-browse dialog of this process with `button`, as a user would.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button) : thread_([this, button] { Run(button); }) {}
    DialogAnswerer(DialogAnswerer const&) = delete;
    DialogAnswerer& operator=(DialogAnswerer const&) = delete;
    ~DialogAnswerer() {
        stop_ = true;
        thread_.join();
    }
    bool Answered() const { return answered_; }

private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        wchar_t className[32] = L"";
        GetClassNameW(window, className, 32);
        if (processId != GetCurrentProcessId() || !IsWindowVisible(window) || std::wstring(className) != L"#32770") {
            return TRUE;
        }
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }

    void Run(int button) {
        for (int i = 0; i < 600 && !stop_; ++i) {
            HWND dialog = nullptr;
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
            // The tree fills in after the dialog shows; give it a moment before answering.
            if (dialog != nullptr && ++seen_ > 10) {
                PostMessageW(dialog, WM_COMMAND, button, 0);
                answered_ = true;
                return;
            }
            Sleep(50);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    int seen_ = 0;
    std::thread thread_;
};

TEST(FoldersOnWindows, ProfileFolderEndsInOneBackslash) {
    Win32Shell shell;
    wchar_t profile[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    EXPECT_EQ(GetSpecialFolderPath(shell, kCsidlProfile), std::wstring(profile) + L"\\");
    EXPECT_EQ(GetSpecialFolderPath(shell, 0x7FFF), L"");
}

TEST(FoldersOnWindows, BrowseOpensOnTheInitialPathAndRestoresTheDirectory) {
    // Outside the temporary folder, whose new subfolders Wine's dialog cannot select.
    TempFolder folder(L"C:\\");
    Win32Shell shell;
    Win32FileSystem files;
    std::wstring const before = files.WorkingDirectory();
    std::wstring result;
    {
        DialogAnswerer ok(IDOK);
        result = BrowseForFolder(shell, files, 0, L"Select executable to run", folder.Path() + L"\\", true);
        EXPECT_TRUE(ok.Answered());
    }
    EXPECT_EQ(result, folder.Path());
    EXPECT_EQ(files.WorkingDirectory(), before);
}

TEST(FoldersOnWindows, CancelledBrowseGivesNothing) {
    TempFolder folder;
    Win32Shell shell;
    Win32FileSystem files;
    DialogAnswerer cancel(IDCANCEL);
    EXPECT_EQ(BrowseForFolder(shell, files, 0, L"File/Folder to add to command line", folder.Path(), true), L"");
    EXPECT_TRUE(cancel.Answered());
}

}  // namespace
}  // namespace vigilon::testing
