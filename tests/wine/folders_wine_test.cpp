#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "support/folders.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

// The text of the item selected in the dialog's folder tree; empty while there is none.
std::wstring SelectedFolder(HWND dialog) {
    HWND tree = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM context) -> BOOL {
            wchar_t className[32] = L"";
            GetClassNameW(child, className, 32);
            if (std::wstring(className) != WC_TREEVIEWW) return TRUE;
            *reinterpret_cast<HWND*>(context) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tree));
    if (tree == nullptr) return L"";
    auto const item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr) return L"";
    wchar_t text[MAX_PATH] = L"";
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// Answers the first folder-browse dialog of this process with `button`, as a user would: once
// its tree has selected `selected`, or at once when that is empty.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button, std::wstring selected = L"")
        : selected_(std::move(selected)), thread_([this, button] { Run(button); }) {}
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
            // The tree fills in and selects the initial folder after the dialog shows.
            if (dialog != nullptr && (selected_.empty() || SelectedFolder(dialog) == selected_)) {
                PostMessageW(dialog, WM_COMMAND, button, 0);
                answered_ = true;
                return;
            }
            Sleep(50);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::wstring const selected_;
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
        std::wstring const name = folder.Path().substr(folder.Path().rfind(L'\\') + 1);
        DialogAnswerer ok(IDOK, name);
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
