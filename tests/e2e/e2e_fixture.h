#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "../wine/wine_test_support.h"

namespace vigilon::e2e {

// The vigilon.exe under test; set from the command line.
extern std::wstring g_vigilonExe;
// The folder of the installer test packages, or empty when none were built.
extern std::wstring g_packagesFolder;

// Menu command identifiers of Vigilon's main window.
inline constexpr UINT kShowHideCommand = 100;
inline constexpr UINT kCloseProgramsCommand = 101;
inline constexpr UINT kLaunchProgramsCommand = 102;
inline constexpr UINT kConfigureCommand = 106;
inline constexpr UINT kPopupExitCommand = 107;
inline constexpr UINT kFileExitCommand = 200;
inline constexpr UINT kFileOptionsCommand = 201;

// Controls of the Options dialog.
inline constexpr int kOptionsTrayNotices = 1200;
inline constexpr int kOptionsBackoff = 1202;
inline constexpr int kOptionsRestartHung = 1203;
inline constexpr int kOptionsHangSeconds = 1204;
inline constexpr int kOptionsPolicyNote = 1211;
inline constexpr int kOptionsDisplayOff = 1231;

// A program's Settings dialog: its tabs and a control of each page.
inline constexpr UINT kProgramSettingsCommand = 210;
inline constexpr int kSettingsTabs = 1400;
inline constexpr int kSettingsLockNote = 1401;
inline constexpr int kSettingsShow = 1411;      // Window page
inline constexpr int kSettingsDelay = 1421;     // Start page
inline constexpr int kSettingsWaitSeconds = 1428;
inline constexpr int kSettingsRestartWhen = 1308;  // Restart page
inline constexpr int kSettingsCheck = 1441;        // Health page
inline constexpr int kSettingsCheckText = 1444;

inline constexpr wchar_t kMainCaption[] = L"Watching programs - so you don't have to";

struct IniProgram {
    std::wstring name, caption, exe, command = {}, prefix = {}, postfix = {};
};

// Each test gets its own program folder with a copy of vigilon.exe, and captions unique to it.
class VigilonTest : public ::testing::Test {
protected:
    VigilonTest();
    ~VigilonTest() override;

    // A copy of the watched-program stand-in at `relativePath` in the program folder, opening a
    // window captioned `caption`; its record file is returned by RecordOf.
    std::wstring AddHelper(std::wstring const& relativePath, std::wstring const& caption,
                           std::wstring const& options = L"");
    Record RecordOf(std::wstring const& helperPath) const { return ReadRecord(helperPath + L".txt"); }

    void WriteIni(std::vector<IniProgram> const& programs);
    // Starts vigilon.exe from another current directory, and waits for its main window.
    void StartVigilon(std::wstring const& arguments = L"");
    void ExitVigilon();

    // True once Vigilon has hidden the window of `program`, whose window is captioned
    // Caption(program): its history says so, and the window is hidden. The window alone cannot
    // tell, for one just created is not shown yet either, and Vigilon may not have found it.
    bool HiddenByVigilon(std::wstring const& program) const;
    // True when Vigilon's history holds `event` for `program`.
    bool InHistory(std::wstring const& program, std::string const& event) const;

    // The first top-level window whose caption starts with `caption`.
    HWND WindowOf(std::wstring const& caption) const { return FindWindowStartingWith(caption); }
    std::wstring Path(std::wstring const& relative) const { return folder_ / relative; }
    std::wstring Caption(std::wstring const& text) const { return tag_ + L" " + text; }

    testing::TempFolder folder_;
    std::wstring tag_;
    std::wstring exe_;
    Process vigilon_;
    HWND main_ = nullptr;
};

}  // namespace vigilon::e2e
