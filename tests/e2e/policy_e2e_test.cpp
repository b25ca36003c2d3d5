#include "e2e_fixture.h"

namespace vigilon::e2e {
namespace {

constexpr wchar_t kUserPolicyKey[] = L"Software\\Policies\\Vigilon";

// The user's policy key for one test, removed again so that no other test sees it.
class UserPolicy {
public:
    UserPolicy() { RegCreateKeyExW(HKEY_CURRENT_USER, kUserPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr); }
    ~UserPolicy() {
        RegCloseKey(key_);
        RegDeleteKeyW(HKEY_CURRENT_USER, kUserPolicyKey);
    }
    UserPolicy(UserPolicy const&) = delete;
    UserPolicy& operator=(UserPolicy const&) = delete;

    void Set(wchar_t const* name, std::wstring const& text) {
        RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<BYTE const*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void Set(wchar_t const* name, DWORD number) {
        RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<BYTE const*>(&number), sizeof(number));
    }

private:
    HKEY key_ = nullptr;
};

std::wstring IniValue(std::wstring const& ini, wchar_t const* key) {
    wchar_t text[64] = L"";
    GetPrivateProfileStringW(L"Apps", key, L"(none)", text, 64, ini.c_str());
    return text;
}

// The program's Settings dialog, opened from the main window's menu, is read-only.
void ExpectSettingsDialogLocked(HWND main, std::wstring const& program) {
    SendMenuCommand(main, kProgramSettingsCommand);
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        settings = FindWindowStartingWith(L"Settings for " + program);
        return settings != nullptr && IsWindowVisible(settings);
    }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(settings, IDOK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(settings, kSettingsShow)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(settings, kSettingsLockNote)));
    PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"Settings for") == nullptr; }));
}

TEST_F(VigilonTest, APolicyHoldsItsSettingGreyedInOptionsAndNamedInTheHistory) {
    WriteIni({});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Box", ini.c_str());
    UserPolicy policy;
    policy.Set(L"Notices", L"Tray");
    policy.Set(L"HangSeconds", 7);
    policy.Set(L"DisplayOff", L"Hours");  // no program has hours: the displays are left alone
    StartVigilon(L"configure");

    std::string history;
    EXPECT_TRUE(WaitUntil([&] {
        history = testing::ReadFileBytes(Path(L"vigilon.log"));
        return history.find("policies Notices=Tray (user policy), HangSeconds=7 (user policy)") != std::string::npos;
    })) << history;

    SendMenuCommand(main_, kFileOptionsCommand);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil([&] { 
        options = FindWindowStartingWith(L"Options");
        return options != nullptr && IsWindowVisible(options);
    }));
    // The policy's rows are greyed and show its values; the others stay the user's.
    HWND const tray = GetDlgItem(options, kOptionsTrayNotices);
    EXPECT_FALSE(IsWindowEnabled(tray));
    EXPECT_EQ(SendMessageW(tray, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, kOptionsRestartHung)));
    wchar_t seconds[16] = L"";
    GetDlgItemTextW(options, kOptionsHangSeconds, seconds, 16);
    EXPECT_STREQ(seconds, L"7");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options, kOptionsBackoff)));
    HWND const displays = GetDlgItem(options, kOptionsDisplayOff);
    EXPECT_FALSE(IsWindowEnabled(displays));
    EXPECT_EQ(SendMessageW(displays, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(options, kOptionsPolicyNote)));

    // OK writes the user's rows, and leaves the file's own value where a policy holds the setting.
    PressOk(options);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(ini, L"Backoff") != L"(none)"; }));
    EXPECT_EQ(IniValue(ini, L"Notices"), L"Box");
    EXPECT_EQ(IniValue(ini, L"HangSeconds"), L"(none)");
    EXPECT_EQ(IniValue(ini, L"DisplayOff"), L"(none)");
}

// LockSettings: the editor's fields and buttons that change the list are greyed, the Settings
// and Options dialogs open with every row greyed and OK disabled, each with the line saying why.
TEST_F(VigilonTest, LockSettingsOpensTheEditorAndItsDialogsReadOnly) {
    WriteIni({{L"Alpha", Caption(L"Alpha"), L"C:\\alpha.exe"}});
    UserPolicy policy;
    policy.Set(L"LockSettings", 1);
    StartVigilon(L"configure");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    HWND const frame = GetDlgItem(main_, 1020);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(frame, 1012)); }));  // Save
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(frame, 1040)));                             // the caption box
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main_, 1010)));                             // New Program
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main_, 1003)));                              // the list
    wchar_t description[512] = L"";
    GetDlgItemTextW(main_, 1001, description, 512);
    EXPECT_NE(std::wstring(description).find(L"An administrator manages these settings."), std::wstring::npos);

    ExpectSettingsDialogLocked(main_, L"Alpha");

    SendMenuCommand(main_, kFileOptionsCommand);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        options = FindWindowStartingWith(L"Options");
        return options != nullptr && IsWindowVisible(options);
    }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, IDOK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, kOptionsBackoff)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(options, kOptionsPolicyNote)));
    PostMessageW(options, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"Options") == nullptr; }));
}

// In Box mode a missing file shows the main window, minimised on the taskbar, without Configure:
// restored from there, the editor and its Settings dialog are as locked as through Configure.
TEST_F(VigilonTest, LockSettingsHoldsForTheEditorAMissingFileShows) {
    std::wstring const missing = Path(L"missing.exe");
    WriteIni({{L"Alpha", Caption(L"Alpha"), missing}});
    UserPolicy policy;
    policy.Set(L"LockSettings", 1);
    StartVigilon();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon")) != nullptr; }));
    PressOk(box);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    ShowWindow(main_, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main_) == FALSE; }));
    HWND const frame = GetDlgItem(main_, 1020);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(frame, 1012)); }));  // Save
    ExpectSettingsDialogLocked(main_, L"Alpha");
}

}  // namespace
}  // namespace vigilon::e2e
