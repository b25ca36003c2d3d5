#include "e2e_fixture.h"

#include <commctrl.h>

namespace vigilon::e2e {
namespace {

constexpr UINT kNewFromWindowCommand = 211;
constexpr int kEditorList = 1003;
constexpr int kEditorFrame = 1020;
constexpr int kEditorFieldBase = 1040;  // + 0 caption, 1 exe
constexpr int kEditorSave = 1012;
constexpr int kPickerFilter = 1501;
constexpr int kPickerList = 1502;
constexpr int kPickerPart = 1504;
constexpr int kPickerProcess = 1505;

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

std::wstring ListEntry(HWND list, int index) {
    wchar_t buffer[256] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) >= 256) return L"";
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring IniValue(std::wstring const& ini, wchar_t const* section, wchar_t const* key) {
    wchar_t buffer[512] = L"";
    GetPrivateProfileStringW(section, key, L"<missing>", buffer, 512, ini.c_str());
    return buffer;
}

class PickerTest : public VigilonTest {
protected:
    // Vigilon's editor open on one program, and New from a Window... open over it; null when it
    // does not open.
    HWND OpenPicker() {
        WriteIni({{L"Alpha", Caption(L"Alpha"), L"C:\\alpha.exe"}});
        StartVigilon(L"Configure");
        if (!WaitUntil([&] { return IsWindowVisible(main_) != FALSE; })) return nullptr;
        SendMenuCommand(main_, kNewFromWindowCommand);
        HWND dialog = nullptr;
        bool const open = WaitUntil([&] {
            dialog = FindWindowStartingWith(L"New from a Window");
            return dialog != nullptr && IsWindowVisible(dialog);
        });
        return open ? dialog : nullptr;
    }
};
using Rows = std::vector<std::vector<std::wstring>>;

// Program, New from a Window...: a stand-in's window is listed with its program file, the filter
// narrows the list to it, its caption's lasting part is offered first, Enter chooses it, and the
// editor shows the new program with the lasting part and the stand-in's executable, saved by Save.
TEST_F(PickerTest, NewFromAWindowListsAStandInAndFillsTheFields) {
    std::wstring const notes = AddHelper(L"notes.exe", L"today.txt - " + Caption(L"Notes"));
    std::wstring const sheets = AddHelper(L"sheets.exe", L"Budget.xls - Sheets");  // one the filter leaves out
    Process standIn;
    Process other;
    ASSERT_TRUE(standIn.Start(notes, L"", FolderOf(notes)));
    ASSERT_TRUE(other.Start(sheets, L"", FolderOf(sheets)));
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(L"today.txt - " + Caption(L"Notes")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(L"Budget.xls - Sheets") != nullptr; }));
    HWND const dialog = OpenPicker();
    ASSERT_NE(dialog, nullptr);
    HWND const list = GetDlgItem(dialog, kPickerList);
    std::vector<std::wstring> const expected{L"today.txt - " + Caption(L"Notes"), L"notes.exe"};
    auto listsOnlyTheStandIn = [&] {
        auto const rows = ListViewRows(list, 2);
        return rows.size() == 1 && rows[0] == expected;
    };
    auto listsTheStandIn = [&] {
        auto const rows = ListViewRows(list, 2);
        return std::find(rows.begin(), rows.end(), expected) != rows.end();
    };
    ASSERT_TRUE(WaitUntil(listsTheStandIn));
    EXPECT_FALSE(listsOnlyTheStandIn());
    SendMessageW(GetDlgItem(dialog, kPickerFilter), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tag_.c_str()));
    ASSERT_TRUE(WaitUntil(listsOnlyTheStandIn));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kPickerPart), CB_GETCURSEL, 0, 0), 1);  // the lasting part
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kPickerProcess), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Enter in the list chooses the selected window.
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"New from a Window") == nullptr; }));
    HWND const programs = GetDlgItem(main_, kEditorList);
    HWND const frame = GetDlgItem(main_, kEditorFrame);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(programs, LB_GETCOUNT, 0, 0) == 2; }));
    EXPECT_EQ(ListEntry(programs, 1), L"notes");  // the stand-in has no description: its file's name
    ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(frame, kEditorFieldBase)) == Caption(L"Notes"); }));
    EXPECT_EQ(TextOf(GetDlgItem(frame, kEditorFieldBase + 1)), notes);

    std::wstring const ini = Path(L"vigilon.ini");
    EXPECT_EQ(IniValue(ini, L"Apps", L"Number"), L"1");  // nothing is written before Save
    PostMessageW(GetDlgItem(frame, kEditorSave), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(ini, L"notes", L"EXE") == notes; }));
    EXPECT_EQ(IniValue(ini, L"notes", L"Caption"), Caption(L"Notes"));
    EXPECT_EQ(IniValue(ini, L"notes", L"CaptionMatch"), L"End");
    EXPECT_EQ(IniValue(ini, L"notes", L"Process"), notes);
    EXPECT_EQ(IniValue(ini, L"Apps", L"App2"), L"notes");
}

// The list is looked over anew every second while the dialog is open: a window opened meanwhile
// comes into it, the row the user selected stays selected though it moves down a row, and Up in
// the Find box moves the selection in the list.
TEST_F(PickerTest, AWindowOpenedWhileTheDialogIsOpenIsListedAndTheSelectionStays) {
    std::wstring const first = AddHelper(L"first.exe", Caption(L"First"));
    std::wstring const later = AddHelper(L"a-later.exe", Caption(L"Later"));  // sorts before first.exe
    Process firstProcess;
    ASSERT_TRUE(firstProcess.Start(first, L"", FolderOf(first)));
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"First")) != nullptr; }));
    HWND const dialog = OpenPicker();
    ASSERT_NE(dialog, nullptr);
    HWND const list = GetDlgItem(dialog, kPickerList);
    HWND const filter = GetDlgItem(dialog, kPickerFilter);
    auto const selectedRow = [&] { return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); };
    std::vector<std::wstring> const firstRow{Caption(L"First"), L"first.exe"};
    std::vector<std::wstring> const laterRow{Caption(L"Later"), L"a-later.exe"};
    SendMessageW(filter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tag_.c_str()));
    ASSERT_TRUE(WaitUntil([&] { return ListViewRows(list, 2) == Rows{firstRow}; }));
    ASSERT_EQ(selectedRow(), 0);

    Process laterProcess;
    ASSERT_TRUE(laterProcess.Start(later, L"", FolderOf(later)));
    // The list is looked over once a second; 10 s leaves room for Wine to start the process and
    // show its window on a loaded 2-core machine.
    ASSERT_TRUE(WaitUntil([&] { return ListViewRows(list, 2) == Rows{laterRow, firstRow}; }, 10));
    EXPECT_TRUE(WaitUntil([&] { return selectedRow() == 1; }));
    EXPECT_TRUE(HoldsFor([&] { return selectedRow() == 1; }, 3));  // across refreshes

    PostMessageW(filter, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(WaitUntil([&] { return selectedRow() == 0; }));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"New from a Window") == nullptr; }));
}

}  // namespace
}  // namespace vigilon::e2e
