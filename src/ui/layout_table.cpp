#include "ui/layout_table.h"

#include "ui/health_check_logic.h"

namespace vigilon {
namespace {

using enum ControlKind;
constexpr Container Window = Container::Window;

// In creation order, which is keyboard order: the window's own controls by tab index, then the
// framed panel's children by theirs. The panel exists before its children are put in it.
constexpr ControlPlacement kEditor[] = {
    {kIdImage, Picture, Window, L"", 180, 60, 1050, 1125, -1},
    {kIdDescription, Label, Window, L"", 2760, 60, 5055, 1035, 0, ControlFont::LargeBold},
    {kIdProgramList, ListBox, Window, L"", 120, 1680, 2535, 3960, 1},
    {kIdListCaption, Label, Window, L"Programs to Monitor", 120, 1320, 2415, 315, 2},
    {kIdNewProgram, Button, Window, L"&New Program", 120, 5760, 2535, 435, 3},
    {kIdFrame, ControlKind::Frame, Window, L"Frame1", 2820, 1320, 7215, 5475, 4},
    {kIdDeleteProgram, Button, Window, L"&Delete Program", 120, 6300, 2535, 435, 18},

    {kIdFieldLabelBase + 0, Label, Container::Frame, L"Window Text:", 120, 300, 4995, 315, 4},
    {kIdCancel, DefaultButton, Container::Frame, L"&Cancel", 4860, 4800, 1755, 495, 5},
    {kIdSave, Button, Container::Frame, L"&Save", 120, 4740, 1755, 495, 6},
    {kIdFieldBase + 4, TextBox, Container::Frame, L"", 120, 4080, 6495, 375, 7},
    {kIdFieldBase + 3, TextBox, Container::Frame, L"", 120, 3195, 6495, 375, 8, ControlFont::Window,
     L"For Quorvault this should be the location of the .jar file"},
    {kIdFieldBase + 1, TextBox, Container::Frame, L"", 120, 1425, 6495, 375, 9, ControlFont::Window,
     L"For Quorvault this should be the javaw.exe "},
    {kIdBrowseBase + 3, Button, Container::Frame, L"...", 6660, 3195, 375, 375, 10, ControlFont::ButtonBold,
     L"Browse for the File/Folder parameter"},
    {kIdFieldBase + 2, TextBox, Container::Frame, L"", 120, 2310, 6495, 375, 11, ControlFont::Window,
     L"For Quorvault this should be -jar and any settings for the memory"},
    {kIdBrowseBase + 1, Button, Container::Frame, L"...", 6660, 1425, 375, 375, 12, ControlFont::ButtonBold,
     L"Browse for the executable"},
    {kIdFieldBase + 0, TextBox, Container::Frame, L"", 120, 540, 6495, 375, 13, ControlFont::Window,
     L"For Quorvault this should be Quorvault V3.2 - "},
    {kIdFieldLabelBase + 3, Label, Container::Frame, L"File/Folder Parameter:", 120, 2955, 4995, 315, 14},
    {kIdFieldLabelBase + 4, Label, Container::Frame, L"Addtional parameters:", 120, 3840, 4995, 315, 15},
    {kIdFieldLabelBase + 2, Label, Container::Frame, L"Executable parameters:", 120, 2070, 4995, 315, 16},
    {kIdFieldLabelBase + 1, Label, Container::Frame, L"Executable:", 120, 1185, 4995, 315, 17},
};

constexpr ControlPlacement kAbout[] = {
    {kIdAboutOk, DefaultButton, Window, L"OK", 4245, 2625, 1260, 345, 0},
    {kIdAboutIcon, Picture, Window, L"", 60, 180, 1110, 1185, 1},
    {kIdAboutSysInfo, Button, Window, L"&System Info...", 4260, 3075, 1245, 345, 2},
    {kIdAboutDescription, Label, Window, L"", 1290, 1125, 4185, 1170, 3},
    {kIdAboutDisclaimer, Label, Window, L"Warning: ...", 75, 2625, 4050, 825, 4},
    {kIdAboutTitle, Label, Window, L"Application Title", 1290, 240, 4245, 480, 5},
    {kIdAboutVersion, Label, Window, L"Version", 1290, 780, 4185, 225, 6},
};

// The Options dialog with every row; the logon note and the room it takes from the rows below it.
constexpr int kOptionsFullHeight = 6960;
constexpr int kLogonNoteTop = 945;
constexpr int kLogonNoteRoom = 480;

constexpr ControlPlacement kOptions[] = {
    {kIdTrayNotices, CheckBox, Window, L"&Show notices in the tray and keep watching", 240, 180, 6540, 345, 0},
    {kIdStartAtLogon, CheckBox, Window, L"Start Vigilon when I &log on", 240, 600, 6540, 345, 1},
    {kIdLogonNote, Label, Window, L"", 540, kLogonNoteTop, 6240, 435, -1},
    {kIdBackoff, CheckBox, Window, L"&Wait longer between starts of a program that keeps failing", 240, 1500, 6540, 345,
     2},
    {kIdRestartHung, CheckBox, Window, L"&Restart a program that stops responding for", 240, 1920, 4560, 345, 3},
    {kIdHangSeconds, NumberBox, Window, L"", 4860, 1905, 720, 345, 4},
    {kIdHangSecondsUnit, Label, Window, L"seconds", 5670, 1950, 1110, 300, 5},
    {kIdEventLog, CheckBox, Window, L"Write problems to the Windows &event log", 240, 2340, 6540, 345, 6},
    {kIdOnEventLabel, KeyLabel, Window, L"Run this command on &trouble:", 240, 2790, 6540, 270, 7},
    {kIdOnEvent, TextBox, Window, L"", 240, 3075, 5160, 345, 8},
    {kIdOnEventBrowse, Button, Window, L"&Browse...", 5520, 3060, 1260, 375, 9},
    {kIdAlertUrlLabel, KeyLabel, Window, L"Post &alerts to this address (Teams, Slack, Discord, ntfy, Gotify, JSON):", 240, 3540,
     6540, 270, 10},
    {kIdAlertUrl, TextBox, Window, L"", 240, 3825, 6540, 345, 11},
    {kIdAlertFormatLabel, KeyLabel, Window, L"F&ormat:", 240, 4305, 840, 270, 12},
    {kIdAlertFormat, DropDown, Window, L"", 1140, 4245, 1980, 345, 13},
    {kIdAlertAfterLabel, KeyLabel, Window, L"after a program is &down for", 3240, 4305, 2460, 270, 14},
    {kIdAlertAfter, NumberBox, Window, L"", 5760, 4245, 600, 345, 15},
    {kIdAlertAfterUnit, Label, Window, L"s", 6450, 4290, 330, 300, 16},
    {kIdRebootAtLabel, KeyLabel, Window, L"Restart the &PC at", 240, 4725, 1620, 270, 17},
    {kIdRebootAt, TextBox, Window, L"", 1920, 4665, 720, 345, 18},
    {kIdRebootDaysLabel, Label, Window, L"on", 2700, 4710, 360, 300, 19},
    {kIdRebootDays, TextBox, Window, L"", 3120, 4665, 3660, 345, 20},
    {kIdMinUptimeLabel, KeyLabel, Window, L"Ne&ver within", 240, 5145, 1260, 270, 21},
    {kIdMinUptime, NumberBox, Window, L"", 1560, 5085, 600, 345, 22},
    {kIdMaxRebootsLabel, Label, Window, L"minutes of its start, at most", 2220, 5130, 2640, 300, 23},
    {kIdMaxReboots, NumberBox, Window, L"", 4920, 5085, 480, 345, 24},
    {kIdMaxRebootsUnit, Label, Window, L"a day", 5460, 5130, 1320, 300, 25},
    {kIdNoticeLabel, KeyLabel, Window, L"&Count down for", 240, 5565, 1500, 270, 26},
    {kIdNotice, NumberBox, Window, L"", 1800, 5505, 720, 345, 27},
    {kIdNoticeUnit, Label, Window, L"seconds first", 2580, 5550, 4200, 300, 28},
    {kIdDisplayOff, CheckBox, Window, L"Put the displays to sleep outside opening &hours", 240, 5955, 6540, 345, 29},
    {kIdPolicyNote, Label, Window, L"* Set by your administrator", 240, 6465, 3780, 300, -1},
    {kIdOptionsOk, DefaultButton, Window, L"OK", 4140, 6420, 1260, 375, 30},
    {kIdOptionsCancel, Button, Window, L"Cancel", 5520, 6420, 1260, 375, 31},
};

constexpr SettingsPage Start = SettingsPage::Start;
constexpr SettingsPage Restart = SettingsPage::Restart;
constexpr SettingsPage Health = SettingsPage::Health;
constexpr SettingsPage All = SettingsPage::All;
// The Health page's seconds and count rows: the label, the box and its unit, a row apart.
constexpr int kHealthBoxLeft = 3180;
constexpr int kHealthUnitLeft = 4170;

constexpr PagedPlacement kProgramSettings[] = {
    {All, {kIdSettingsTabs, Tabs, Window, L"", 120, 120, 6960, 4860, 0}},

    {SettingsPage::Window, {kIdShowLabel, KeyLabel, Window, L"&Show as:", 360, 690, 1500, 270, 1}},
    {SettingsPage::Window, {kIdShow, DropDown, Window, L"", 1920, 630, 4920, 345, 2}},
    {SettingsPage::Window, {kIdMonitorLabel, KeyLabel, Window, L"&Monitor:", 360, 1140, 1500, 270, 3}},
    {SettingsPage::Window, {kIdMonitor, DropDown, Window, L"", 1920, 1080, 4920, 345, 4}},
    {SettingsPage::Window, {kIdOnTop, CheckBox, Window, L"Keep it on &top of other windows", 360, 1530, 6480, 345, 5}},
    {SettingsPage::Window, {kIdCaptionMatchLabel, KeyLabel, Window, L"Its &caption:", 360, 2100, 1500, 270, 6}},
    {SettingsPage::Window, {kIdCaptionMatch, DropDown, Window, L"", 1920, 2040, 4920, 345, 7}},
    {SettingsPage::Window, {kIdWindowClassLabel, KeyLabel, Window, L"Window c&lass:", 360, 2550, 1500, 270, 8}},
    {SettingsPage::Window, {kIdWindowClass, TextBox, Window, L"", 1920, 2490, 4920, 345, 9}},
    {SettingsPage::Window, {kIdProcessLabel, KeyLabel, Window, L"&Program file:", 360, 3000, 1500, 270, 10}},
    {SettingsPage::Window, {kIdProcess, TextBox, Window, L"", 1920, 2940, 4920, 345, 11}},
    // At the page's foot, apart from the rows of its window that it greys.
    {SettingsPage::Window, {kIdNoWindow, CheckBox, Window, L"It shows &no window: it runs while its program file does",
                            360, 4440, 6480, 345, 12}},

    {Start, {kIdDelayLabel, KeyLabel, Window, L"&Delay its first start by", 360, 690, 2700, 270, 1}},
    {Start, {kIdDelay, NumberBox, Window, L"", 3120, 630, 900, 345, 2}},
    {Start, {kIdDelayUnit, Label, Window, L"seconds (0 to 3600)", 4110, 675, 2730, 300, 3}},
    {Start, {kIdStartAfterLabel, KeyLabel, Window, L"Start it &after:", 360, 1140, 1800, 270, 4}},
    {Start, {kIdStartAfter, DropDown, Window, L"", 2220, 1080, 4620, 345, 5}},
    {Start, {kIdWaitForLabel, KeyLabel, Window, L"&Wait for this path or host:port to be there:", 360, 1590, 6480, 270,
             6}},
    {Start, {kIdWaitFor, TextBox, Window, L"", 360, 1875, 6480, 345, 7}},
    {Start, {kIdWaitSecondsLabel, KeyLabel, Window, L"Wait at m&ost", 360, 2385, 1500, 270, 8}},
    {Start, {kIdWaitSeconds, NumberBox, Window, L"", 1920, 2325, 900, 345, 9}},
    {Start, {kIdWaitSecondsUnit, Label, Window, L"seconds, then start it anyway", 2910, 2370, 3930, 300, 10}},
    {Start, {kIdHoursLabel, KeyLabel, Window, L"Run it only during these &hours:", 360, 2895, 6480, 270, 11}},
    {Start, {kIdHours, TextBox, Window, L"", 360, 3180, 6480, 345, 12}},
    {Start, {kIdHoursFormat, Label, Window, L"Mon-Fri 08:00-18:00; Sat 09:00-13:00 (local time)", 360, 3570, 6480, 270, 13}},
    {Start, {kIdIdleLabel, KeyLabel, Window, L"Restart &it after", 360, 4080, 1500, 270, 14}},
    {Start, {kIdIdle, NumberBox, Window, L"", 1920, 4020, 900, 345, 15}},
    {Start, {kIdIdleUnit, Label, Window, L"minutes without input (1 to 1440)", 2910, 4065, 3930, 300, 16}},

    {Restart, {kIdMemoryRule, CheckBox, Window, L"Restart when its &memory stays above", 360, 630, 3660, 345, 1}},
    {Restart, {kIdMemoryLimit, NumberBox, Window, L"", 4080, 615, 1020, 345, 2}},
    {Restart, {kIdMemoryUnit, Label, Window, L"MB for a minute", 5190, 660, 1650, 300, 3}},
    {Restart, {kIdScheduleRule, CheckBox, Window, L"Restart every &day at", 360, 1050, 2400, 345, 4}},
    {Restart, {kIdScheduleTimes, TextBox, Window, L"", 2820, 1035, 4020, 345, 5}},
    {Restart, {kIdTimesFormat, Label, Window, L"hh:mm, hh:mm (local time)", 2820, 1395, 4020, 270, 6}},
    {Restart, {kIdCrashDialogRule, CheckBox, Window, L"Start it without the &crash dialog", 360, 1725, 6480, 345, 7}},
    {Restart, {kIdRestartWhenLabel, KeyLabel, Window, L"Start it &again:", 360, 2205, 1800, 270, 8}},
    {Restart, {kIdRestartWhen, DropDown, Window, L"", 2220, 2145, 4620, 345, 9}},
    {Restart, {kIdEscalateLabel, KeyLabel, Window, L"When it keeps failing, &escalate:", 360, 2685, 6480, 270, 10}},
    {Restart, {kIdEscalate, TextBox, Window, L"", 360, 2970, 6480, 345, 11}},
    {Restart, {kIdEscalateFormat, Label, Window, L"count:action, ... (action: command, logoff, reboot or shutdown)", 360,
               3360, 6480, 270, 12}},
    {Restart, {kIdEscalateMinutesLabel, KeyLabel, Window, L"Count its troubles o&ver", 360, 3780, 2400, 270, 13}},
    {Restart, {kIdEscalateMinutes, NumberBox, Window, L"", 2820, 3720, 900, 345, 14}},
    {Restart, {kIdEscalateMinutesUnit, Label, Window, L"minutes (60 when empty)", 3810, 3765, 3030, 300, 15}},

    {Health, {kIdCheckLabel, KeyLabel, Window, L"&Check that it works:", 360, 600, 6480, 270, 1}},
    {Health, {kIdCheck, TextBox, Window, L"", 360, 885, 6480, 345, 2}},
    {Health, {kIdCheckForms, Label, Window, kCheckForms, 360, 1275, 6480, 420, 3}},
    {Health, {kIdCheckTextLabel, KeyLabel, Window, L"The &page must contain:", 360, 1830, 2760, 270, 4}},
    {Health, {kIdCheckText, TextBox, Window, L"", kHealthBoxLeft, 1770, 3660, 345, 5}},
    {Health, {kIdCheckAgeLabel, KeyLabel, Window, L"The &file must be written within", 360, 2280, 2760, 270, 6}},
    {Health, {kIdCheckAge, NumberBox, Window, L"", kHealthBoxLeft, 2220, 900, 345, 7}},
    {Health, {kIdCheckAgeUnit, Label, Window, L"seconds", kHealthUnitLeft, 2265, 2670, 300, 8}},
    {Health, {kIdCheckSecondsLabel, KeyLabel, Window, L"Check &every", 360, 2730, 2760, 270, 9}},
    {Health, {kIdCheckSeconds, NumberBox, Window, L"", kHealthBoxLeft, 2670, 900, 345, 10}},
    {Health, {kIdCheckSecondsUnit, Label, Window, L"seconds", kHealthUnitLeft, 2715, 2670, 300, 11}},
    {Health, {kIdCheckTimeoutLabel, KeyLabel, Window, L"&Give a check up after", 360, 3180, 2760, 270, 12}},
    {Health, {kIdCheckTimeout, NumberBox, Window, L"", kHealthBoxLeft, 3120, 900, 345, 13}},
    {Health, {kIdCheckTimeoutUnit, Label, Window, L"seconds", kHealthUnitLeft, 3165, 2670, 300, 14}},
    {Health, {kIdCheckGraceLabel, KeyLabel, Window, L"After a &start, wait", 360, 3630, 2760, 270, 15}},
    {Health, {kIdCheckGrace, NumberBox, Window, L"", kHealthBoxLeft, 3570, 900, 345, 16}},
    {Health, {kIdCheckGraceUnit, Label, Window, L"seconds before a check counts", kHealthUnitLeft, 3615, 2670, 300,
              17}},
    {Health, {kIdCheckFailuresLabel, KeyLabel, Window, L"&Act after", 360, 4080, 2760, 270, 18}},
    {Health, {kIdCheckFailures, NumberBox, Window, L"", kHealthBoxLeft, 4020, 900, 345, 19}},
    {Health, {kIdCheckFailuresUnit, Label, Window, L"failures in a row", kHealthUnitLeft, 4065, 2670, 300, 20}},
    {Health, {kIdCheckActionLabel, KeyLabel, Window, L"T&hen:", 360, 4530, 2760, 270, 21}},
    {Health, {kIdCheckAction, DropDown, Window, L"", kHealthBoxLeft, 4470, 3660, 345, 22}},

    {All, {kIdSettingsLockNote, Label, Window, L"", 120, 5130, 4020, 450, -1}},
    {All, {kIdSettingsOk, DefaultButton, Window, L"OK", 4260, 5160, 1260, 375, 23}},
    {All, {kIdSettingsCancel, Button, Window, L"Cancel", 5820, 5160, 1260, 375, 24}},
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
    case SettingsPage::Health: return L"Health";
    case SettingsPage::All: break;
    }
    return L"";
}

}  // namespace vigilon
