#include "ui/layout_table.h"

namespace vigilon {
namespace {

using enum ControlKind;
constexpr Container Window = Container::Window;

// In creation order, which is keyboard order: the window's own controls by tab index, then the
// framed panel's children by theirs. The panel exists before its children are put in it.
constexpr ControlPlacement kEditor[] = {
    {kIdImage, Picture, Window, L"", nullptr, 180, 60, 1050, 1125, -1, ControlFont::Window},
    {kIdDescription, Label, Window, L"", nullptr, 2760, 60, 5055, 1035, 0, ControlFont::LargeBold},
    {kIdProgramList, ListBox, Window, L"", nullptr, 120, 1680, 2535, 3960, 1, ControlFont::Window},
    {kIdListCaption, Label, Window, L"Programs to Monitor", nullptr, 120, 1320, 2415, 315, 2, ControlFont::Window},
    {kIdNewProgram, Button, Window, L"&New Program", nullptr, 120, 5760, 2535, 435, 3, ControlFont::Window},
    {kIdFrame, ControlKind::Frame, Window, L"Frame1", nullptr, 2820, 1320, 7215, 5475, 4, ControlFont::Window},
    {kIdDeleteProgram, Button, Window, L"&Delete Program", nullptr, 120, 6300, 2535, 435, 18, ControlFont::Window},

    {kIdFieldLabelBase + 0, Label, Container::Frame, L"Window Text:", nullptr, 120, 300, 4995, 315, 4, ControlFont::Window},
    {kIdCancel, DefaultButton, Container::Frame, L"&Cancel", nullptr, 4860, 4800, 1755, 495, 5, ControlFont::Window},
    {kIdSave, Button, Container::Frame, L"&Save", nullptr, 120, 4740, 1755, 495, 6, ControlFont::Window},
    {kIdFieldBase + 4, TextBox, Container::Frame, L"", nullptr, 120, 4080, 6495, 375, 7, ControlFont::Window},
    {kIdFieldBase + 3, TextBox, Container::Frame, L"", L"For Quorvault this should be the location of the .jar file",
     120, 3195, 6495, 375, 8, ControlFont::Window},
    {kIdFieldBase + 1, TextBox, Container::Frame, L"", L"For Quorvault this should be the javaw.exe ", 120, 1425,
     6495, 375, 9, ControlFont::Window},
    {kIdBrowseBase + 3, Button, Container::Frame, L"...", L"Browse for the File/Folder parameter", 6660, 3195, 375, 375,
     10, ControlFont::ButtonBold},
    {kIdFieldBase + 2, TextBox, Container::Frame, L"",
     L"For Quorvault this should be -jar and any settings for the memory", 120, 2310, 6495, 375, 11,
     ControlFont::Window},
    {kIdBrowseBase + 1, Button, Container::Frame, L"...", L"Browse for the executable", 6660, 1425, 375, 375, 12,
     ControlFont::ButtonBold},
    {kIdFieldBase + 0, TextBox, Container::Frame, L"", L"For Quorvault this should be Quorvault V3.2 - ", 120, 540,
     6495, 375, 13, ControlFont::Window},
    {kIdFieldLabelBase + 3, Label, Container::Frame, L"File/Folder Parameter:", nullptr, 120, 2955, 4995, 315, 14,
     ControlFont::Window},
    {kIdFieldLabelBase + 4, Label, Container::Frame, L"Addtional parameters:", nullptr, 120, 3840, 4995, 315, 15,
     ControlFont::Window},
    {kIdFieldLabelBase + 2, Label, Container::Frame, L"Executable parameters:", nullptr, 120, 2070, 4995, 315, 16,
     ControlFont::Window},
    {kIdFieldLabelBase + 1, Label, Container::Frame, L"Executable:", nullptr, 120, 1185, 4995, 315, 17,
     ControlFont::Window},
};

constexpr ControlPlacement kAbout[] = {
    {kIdAboutOk, DefaultButton, Window, L"OK", nullptr, 4245, 2625, 1260, 345, 0, ControlFont::Window},
    {kIdAboutIcon, Picture, Window, L"", nullptr, 60, 180, 1110, 1185, 1, ControlFont::Window},
    {kIdAboutSysInfo, Button, Window, L"&System Info...", nullptr, 4260, 3075, 1245, 345, 2, ControlFont::Window},
    {kIdAboutDescription, Label, Window, L"", nullptr, 1290, 1125, 4185, 1170, 3, ControlFont::Window},
    {kIdAboutDisclaimer, Label, Window, L"Warning: ...", nullptr, 75, 2625, 4050, 825, 4, ControlFont::Window},
    {kIdAboutTitle, Label, Window, L"Application Title", nullptr, 1290, 240, 4245, 480, 5, ControlFont::Window},
    {kIdAboutVersion, Label, Window, L"Version", nullptr, 1290, 780, 4185, 225, 6, ControlFont::Window},
};

// The Options dialog with every row; the logon note and the room it takes from the rows below it.
constexpr int kOptionsFullHeight = 4140;
constexpr int kLogonNoteTop = 945;
constexpr int kLogonNoteRoom = 480;

constexpr ControlPlacement kOptions[] = {
    {kIdTrayNotices, CheckBox, Window, L"&Show notices in the tray and keep watching", nullptr, 240, 180, 6540, 345, 0,
     ControlFont::Window},
    {kIdStartAtLogon, CheckBox, Window, L"Start Vigilon when I &log on", nullptr, 240, 600, 6540, 345, 1,
     ControlFont::Window},
    {kIdLogonNote, Label, Window, L"", nullptr, 540, kLogonNoteTop, 6240, 435, -1, ControlFont::Window},
    {kIdBackoff, CheckBox, Window, L"&Wait longer between starts of a program that keeps failing", nullptr, 240, 1500,
     6540, 345, 2, ControlFont::Window},
    {kIdRestartHung, CheckBox, Window, L"&Restart a program that stops responding for", nullptr, 240, 1920, 4560, 345,
     3, ControlFont::Window},
    {kIdHangSeconds, NumberBox, Window, L"", nullptr, 4860, 1905, 720, 345, 4, ControlFont::Window},
    {kIdHangSecondsUnit, Label, Window, L"seconds", nullptr, 5670, 1950, 1110, 300, 5, ControlFont::Window},
    {kIdEventLog, CheckBox, Window, L"Write problems to the Windows &event log", nullptr, 240, 2340, 6540, 345, 6,
     ControlFont::Window},
    {kIdOnEventLabel, KeyLabel, Window, L"Run this command on &trouble:", nullptr, 240, 2790, 6540, 270, 7,
     ControlFont::Window},
    {kIdOnEvent, TextBox, Window, L"", nullptr, 240, 3075, 5160, 345, 8, ControlFont::Window},
    {kIdOnEventBrowse, Button, Window, L"&Browse...", nullptr, 5520, 3060, 1260, 375, 9, ControlFont::Window},
    {kIdPolicyNote, Label, Window, L"* Set by your administrator", nullptr, 240, 3645, 3780, 300, -1,
     ControlFont::Window},
    {kIdOptionsOk, DefaultButton, Window, L"OK", nullptr, 4140, 3600, 1260, 375, 10, ControlFont::Window},
    {kIdOptionsCancel, Button, Window, L"Cancel", nullptr, 5520, 3600, 1260, 375, 11, ControlFont::Window},
};

constexpr SettingsPage Start = SettingsPage::Start;
constexpr SettingsPage Restart = SettingsPage::Restart;
constexpr SettingsPage All = SettingsPage::All;
constexpr ControlFont Font = ControlFont::Window;

constexpr PagedPlacement kProgramSettings[] = {
    {All, {kIdSettingsTabs, Tabs, Window, L"", nullptr, 120, 120, 6960, 2940, 0, Font}},

    {SettingsPage::Window, {kIdShowLabel, KeyLabel, Window, L"&Show it:", nullptr, 360, 690, 1500, 270, 1, Font}},
    {SettingsPage::Window, {kIdShow, DropDown, Window, L"", nullptr, 1920, 630, 4920, 345, 2, Font}},
    {SettingsPage::Window, {kIdMonitorLabel, KeyLabel, Window, L"&Monitor:", nullptr, 360, 1140, 1500, 270, 3, Font}},
    {SettingsPage::Window, {kIdMonitor, DropDown, Window, L"", nullptr, 1920, 1080, 4920, 345, 4, Font}},
    {SettingsPage::Window,
     {kIdOnTop, CheckBox, Window, L"Keep it on &top of other windows", nullptr, 360, 1530, 6480, 345, 5, Font}},

    {Start, {kIdDelayLabel, KeyLabel, Window, L"&Delay its first start by", nullptr, 360, 690, 2700, 270, 1, Font}},
    {Start, {kIdDelay, NumberBox, Window, L"", nullptr, 3120, 630, 900, 345, 2, Font}},
    {Start, {kIdDelayUnit, Label, Window, L"seconds (0 to 3600)", nullptr, 4110, 675, 2730, 300, 3, Font}},
    {Start, {kIdStartAfterLabel, KeyLabel, Window, L"Start it &after:", nullptr, 360, 1140, 1800, 270, 4, Font}},
    {Start, {kIdStartAfter, DropDown, Window, L"", nullptr, 2220, 1080, 4620, 345, 5, Font}},
    {Start, {kIdWaitForLabel, KeyLabel, Window, L"&Wait for this path or host:port to be there:", nullptr, 360, 1590,
             6480, 270, 6, Font}},
    {Start, {kIdWaitFor, TextBox, Window, L"", nullptr, 360, 1875, 6480, 345, 7, Font}},
    {Start, {kIdWaitSecondsLabel, KeyLabel, Window, L"Wait at m&ost", nullptr, 360, 2385, 1500, 270, 8, Font}},
    {Start, {kIdWaitSeconds, NumberBox, Window, L"", nullptr, 1920, 2325, 900, 345, 9, Font}},
    {Start, {kIdWaitSecondsUnit, Label, Window, L"seconds, then start it anyway (120 when empty)", nullptr, 2910, 2370,
             3930, 300, 10, Font}},

    {Restart, {kIdMemoryRule, CheckBox, Window, L"Restart when its &memory stays above", nullptr, 360, 630, 3660, 345, 1,
               Font}},
    {Restart, {kIdMemoryLimit, NumberBox, Window, L"", nullptr, 4080, 615, 1020, 345, 2, Font}},
    {Restart, {kIdMemoryUnit, Label, Window, L"MB for a minute", nullptr, 5190, 660, 1650, 300, 3, Font}},
    {Restart, {kIdScheduleRule, CheckBox, Window, L"Restart every &day at", nullptr, 360, 1050, 2400, 345, 4, Font}},
    {Restart, {kIdScheduleTimes, TextBox, Window, L"", nullptr, 2820, 1035, 4020, 345, 5, Font}},
    {Restart, {kIdTimesFormat, Label, Window, L"hh:mm, hh:mm (local time)", nullptr, 2820, 1395, 4020, 270, 6, Font}},
    {Restart, {kIdCrashDialogRule, CheckBox, Window, L"Start it without the &crash dialog", nullptr, 360, 1725, 6480,
               345, 7, Font}},
    {Restart, {kIdRestartWhenLabel, KeyLabel, Window, L"Start it &again:", nullptr, 360, 2205, 1800, 270, 8, Font}},
    {Restart, {kIdRestartWhen, DropDown, Window, L"", nullptr, 2220, 2145, 4620, 345, 9, Font}},

    {All, {kIdSettingsLockNote, Label, Window, L"", nullptr, 120, 3210, 4020, 450, -1, Font}},
    {All, {kIdSettingsOk, DefaultButton, Window, L"OK", nullptr, 4260, 3240, 1260, 375, 10, Font}},
    {All, {kIdSettingsCancel, Button, Window, L"Cancel", nullptr, 5820, 3240, 1260, 375, 11, Font}},
};

constexpr RuleLine kRule[] = {
    {90, 2445, 5654, 1, 0x808080},
    {105, 2460, 5654, 2, 0xFFFFFF},
};


}  // namespace

std::span<ControlPlacement const> EditorLayout() { return kEditor; }
std::span<ControlPlacement const> AboutLayout() { return kAbout; }
std::vector<ControlPlacement> OptionsLayout(bool logonNote) {
    std::vector<ControlPlacement> placements;
    for (ControlPlacement placement : kOptions) {
        if (placement.id == kIdLogonNote && !logonNote) continue;
        if (placement.top > kLogonNoteTop && !logonNote) placement.top -= kLogonNoteRoom;
        placements.push_back(placement);
    }
    return placements;
}

int OptionsHeight(bool logonNote) { return logonNote ? kOptionsFullHeight : kOptionsFullHeight - kLogonNoteRoom; }
std::span<RuleLine const> AboutRule() { return kRule; }
std::span<PagedPlacement const> ProgramSettingsLayout() { return kProgramSettings; }

wchar_t const* SettingsPageName(SettingsPage page) {
    switch (page) {
    case SettingsPage::Window: return L"Window";
    case SettingsPage::Start: return L"Start";
    case SettingsPage::Restart: return L"Restart";
    case SettingsPage::All: break;
    }
    return L"";
}

}  // namespace vigilon
