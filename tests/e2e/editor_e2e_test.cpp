#include "e2e_fixture.h"

namespace vigilon::e2e {
namespace {

// Control identifiers of the editor.
constexpr int kList = 1003;
constexpr int kNewProgram = 1010;
constexpr int kDeleteProgram = 1011;
constexpr int kSave = 1012;
constexpr int kCancel = IDCANCEL;
constexpr int kFrame = 1020;
constexpr int kFieldBase = 1040;  // + 0 caption, 1 exe, 2 prefix, 3 command, 4 postfix
constexpr int kInputText = 102;
constexpr UINT kHelpAboutCommand = 209;
constexpr int kLogo = 1000;
constexpr int kAboutSysInfo = 1102;

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

std::wstring IniValue(std::wstring const& ini, wchar_t const* section, wchar_t const* key) {
    wchar_t buffer[512] = L"";
    GetPrivateProfileStringW(section, key, L"<missing>", buffer, 512, ini.c_str());
    return buffer;
}

class EditorTest : public VigilonTest {
protected:
    void Open() {
        WriteIni({{L"Alpha", Caption(L"Alpha"), L"C:\\alpha.exe"}, {L"Beta", Caption(L"Beta"), L"C:\\beta.exe"}});
        StartVigilon(L"Configure");
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
        list = GetDlgItem(main_, kList);
        frame = GetDlgItem(main_, kFrame);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return Field(0) == Caption(L"Alpha"); }));
    }
    HWND FieldBox(int index) const { return GetDlgItem(frame, kFieldBase + index); }
    std::wstring Field(int index) const { return TextOf(FieldBox(index)); }
    void SetField(int index, std::wstring const& text) {
        SendMessageTimeoutW(FieldBox(index), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000,
                            nullptr);
    }
    // Clicks a button; posted, because some open a modal box.
    void Click(HWND parent, int id) { PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0); }
    void Select(int index) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    int ListCount() const { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
    std::wstring FrameCaption() const {
        HWND const label = GetWindow(frame, GW_CHILD);
        for (HWND w = label; w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            wchar_t className[32] = L"";
            GetClassNameW(w, className, 32);
            std::wstring const text = TextOf(w);
            if (std::wstring(className) == L"Static" && text.rfind(L" Parameters for ", 0) == 0) return text;
        }
        return L"";
    }
    std::wstring Ini() const { return Path(L"vigilon.ini"); }

    HWND list = nullptr;
    HWND frame = nullptr;
};

TEST_F(EditorTest, SelectEditSaveAndCancel) {
    Open();
    EXPECT_EQ(ListCount(), 2);
    EXPECT_EQ(FrameCaption(), L" Parameters for Alpha ");
    Select(1);
    ASSERT_TRUE(WaitUntil([&] { return Field(0) == Caption(L"Beta"); }));
    EXPECT_EQ(FrameCaption(), L" Parameters for Beta ");

    SetField(1, L"  D:\\Tools\\beta.exe ");
    SetField(2, L"-x");
    Click(frame, kSave);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Beta", L"EXE") == L"D:\\Tools\\beta.exe"; }));
    EXPECT_EQ(IniValue(Ini(), L"Beta", L"Prefix"), L"-x");
    EXPECT_EQ(Field(1), L"  D:\\Tools\\beta.exe ");  // the text box keeps what was typed

    SetField(2, L"typed, not saved");
    Click(frame, kCancel);
    ASSERT_TRUE(WaitUntil([&] { return Field(2) == L"-x"; }));
}

TEST_F(EditorTest, NewProgramAndDeleteWithTheirQuestions) {
    Open();
    Click(main_, kNewProgram);
    HWND input = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (input = FindMessageBox(L"Program Name")) != nullptr; }));
    SendMessageW(GetDlgItem(input, kInputText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Gamma"));
    PressOk(input);
    ASSERT_TRUE(WaitUntil([&] { return ListCount() == 3; }));
    EXPECT_EQ(Field(0), Caption(L"Alpha"));  // the new entry is not selected

    // Delete Beta: No keeps it, Yes removes it and the list starts again at its first entry.
    Select(1);
    ASSERT_TRUE(WaitUntil([&] { return Field(0) == Caption(L"Beta"); }));
    Click(main_, kDeleteProgram);
    std::wstring question;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &question)) != nullptr; }));
    EXPECT_EQ(question, L"OK to delete the program: Beta");
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(L"Vigilon") == nullptr; }));
    EXPECT_EQ(ListCount(), 3);

    Click(main_, kDeleteProgram);
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon")) != nullptr; }));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return ListCount() == 2; }));
    EXPECT_EQ(Field(0), Caption(L"Alpha"));

    Click(frame, kSave);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Apps", L"App2") == L"Gamma"; }));
    EXPECT_EQ(IniValue(Ini(), L"Apps", L"Number"), L"2");
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Gamma", L"EXE").empty(); }));  // written after App2
}

TEST_F(EditorTest, AboutShowsTheVersionAndEscapeClosesIt) {
    Open();
    for (int round = 0; round < 2; ++round) {
        SendMenuCommand(main_, kHelpAboutCommand);
        HWND about = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (about = FindMessageBox(L"About Vigilon")) != nullptr; }));
        EXPECT_EQ(TextOf(GetDlgItem(about, 1105)), L"Version 1.0.1");
        EXPECT_EQ(TextOf(GetDlgItem(about, 1104)), L"Vigilon");
        EXPECT_FALSE(IsWindowEnabled(main_));
        PostMessageW(about, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
        ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(L"About Vigilon") == nullptr; }));
    }
    SetField(0, L"typed");
    SendMenuCommand(main_, kHelpAboutCommand);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindMessageBox(L"About Vigilon")) != nullptr; }));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return Field(0) == Caption(L"Alpha"); }));
}

TEST_F(EditorTest, AboutStaysModalWhileItsSystemInfoBoxIsOpenAndAfter) {
    testing::ScopedRegistryValue const noPath(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                              L"PATH");
    testing::ScopedRegistryValue const noFolder(HKEY_LOCAL_MACHINE,
                                                L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");
    Open();
    SendMenuCommand(main_, kHelpAboutCommand);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindMessageBox(L"About Vigilon")) != nullptr; }));
    Click(about, kAboutSysInfo);
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
    EXPECT_EQ(text, L"System Information Is Unavailable At This Time");
    EXPECT_EQ(GetWindow(box, GW_OWNER), about);
    EXPECT_FALSE(IsWindowEnabled(about));
    PressOk(box);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(about) != FALSE; }));
    EXPECT_TRUE(HoldsFor([&] { return IsWindowEnabled(main_) == FALSE; }, 1));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
}

TEST_F(EditorTest, TheLogoStandsOnTheFaceColour) {
    Open();
    RECT logo{};
    GetWindowRect(GetDlgItem(main_, kLogo), &logo);
    auto const cornerPixel = [&] {
        HDC const screen = GetDC(nullptr);
        COLORREF const pixel = GetPixel(screen, logo.left + 1, logo.top + 1);
        ReleaseDC(nullptr, screen);
        return pixel;
    };
    EXPECT_TRUE(WaitUntil([&] { return cornerPixel() == GetSysColor(COLOR_BTNFACE); }, 5))
        << std::hex << cornerPixel() << " against " << GetSysColor(COLOR_BTNFACE);
}

TEST_F(EditorTest, AFailedSaveIsReportedWithTheFileName) {
    Open();
    SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY);
    Click(frame, kSave);
    std::wstring text;
    HWND box = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &text)) != nullptr; }));
    EXPECT_NE(text.find(Ini()), std::wstring::npos) << text;
    if (box != nullptr) PressOk(box);
    SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EditorTest, ClosingTheEditorHidesItAndResumesWatching) {
    std::wstring const helper = AddHelper(L"e.exe", Caption(L"Epsilon"));
    WriteIni({{L"Epsilon", Caption(L"Epsilon"), helper}});
    StartVigilon(L"configure");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(helper).starts.empty(); }, 2));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
    EXPECT_TRUE(WaitUntil([&] { return !RecordOf(helper).starts.empty(); }));
    EXPECT_TRUE(vigilon_.Running());
}

// Program, Settings...: the Window page first, the arrow keys on the tabs turn to Start, Restart
// and Health, the page's text takes input once an http check is typed, a value that cannot be used
// is refused with nothing written, and OK writes the keys.
TEST_F(EditorTest, TheSettingsDialogShowsItsPagesAndWritesWhatIsChosen) {
    Open();
    SendMenuCommand(main_, kProgramSettingsCommand);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = FindWindowStartingWith(L"Settings for Alpha");
        return dialog != nullptr && IsWindowVisible(dialog);
    }));
    HWND const tabs = GetDlgItem(dialog, kSettingsTabs);
    auto shown = [&](int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; };
    EXPECT_TRUE(shown(kSettingsShow));
    EXPECT_FALSE(shown(kSettingsDelay));
    SendMessageW(GetDlgItem(dialog, kSettingsShow), CB_SETCURSEL, 2, 0);  // Maximized
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(WaitUntil([&] { return shown(kSettingsDelay) && !shown(kSettingsShow); }));
    SendMessageW(GetDlgItem(dialog, kSettingsDelay), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"15"));
    SendMessageW(GetDlgItem(dialog, kSettingsWaitSeconds), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(WaitUntil([&] { return shown(kSettingsRestartWhen) && !shown(kSettingsDelay); }));
    SendMessageW(GetDlgItem(dialog, kSettingsRestartWhen), CB_SETCURSEL, 1, 0);  // only when it fails
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(WaitUntil([&] { return shown(kSettingsCheck) && !shown(kSettingsRestartWhen); }));
    HWND const pageText = GetDlgItem(dialog, kSettingsCheckText);
    EXPECT_FALSE(IsWindowEnabled(pageText));
    SendMessageW(GetDlgItem(dialog, kSettingsCheck), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"http://127.0.0.1:8080/"));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(pageText) != FALSE; }));
    SendMessageW(pageText, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ready"));

    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    std::wstring refusal;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(L"Vigilon", &refusal)) != nullptr; }));
    EXPECT_EQ(refusal, L"Wait at most: type a whole number of seconds from 1 to 86400.");
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"StartDelay"), L"<missing>");
    PressOk(box);
    ASSERT_TRUE(WaitUntil([&] { return shown(kSettingsWaitSeconds); }));  // back on the row it names
    SendMessageW(GetDlgItem(dialog, kSettingsWaitSeconds), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"60"));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Alpha", L"StartDelay") == L"15"; }));
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"Show"), L"Maximized");
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"WaitSeconds"), L"60");
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"Restart"), L"Failure");
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"Check"), L"http://127.0.0.1:8080/");
    EXPECT_EQ(IniValue(Ini(), L"Alpha", L"CheckText"), L"ready");
    EXPECT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"Settings for") == nullptr; }));
}

}  // namespace
}  // namespace vigilon::e2e
