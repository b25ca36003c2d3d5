#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vigilon {

// NumberBox is a text box that takes digits only; KeyLabel is a label whose access key moves to the
// control after it. A DropDown's height is that of its closed box; Tabs is a tab control; ListView
// is a report-style list of one selection whose rows its owner gives as they are drawn.
enum class ControlKind : std::uint8_t {
    Picture, Label, KeyLabel, ListBox, Button, DefaultButton, TextBox, NumberBox, Frame, CheckBox, DropDown, Tabs,
    ListView
};

// Where a control sits: on the window itself, or inside the framed panel.
enum class Container : std::uint8_t { Window, Frame };

enum class ControlFont : std::uint8_t { Window, LargeBold, ButtonBold };

// One control of a window's stored layout. Positions are twips (1/1440 inch), relative to the
// container; a tab index of -1 means the control takes no part in keyboard navigation.
struct ControlPlacement {
    std::uint16_t id;
    ControlKind kind;
    Container container;
    wchar_t const* text;
    int left, top, width, height;
    int tabIndex;
    ControlFont font = ControlFont::Window;
    wchar_t const* tooltip = nullptr;  // null for none
};

// Control identifiers of the editor.
inline constexpr std::uint16_t kIdImage = 1000;
inline constexpr std::uint16_t kIdDescription = 1001;   // Label1 4
inline constexpr std::uint16_t kIdListCaption = 1002;   // Label1 3
inline constexpr std::uint16_t kIdProgramList = 1003;   // List1
inline constexpr std::uint16_t kIdNewProgram = 1010;    // Command2 2
inline constexpr std::uint16_t kIdDeleteProgram = 1011; // Command2 3
inline constexpr std::uint16_t kIdSave = 1012;          // Command2 0
inline constexpr std::uint16_t kIdCancel = 2;           // Command2 1: IDCANCEL, so Escape presses it
inline constexpr std::uint16_t kIdFrame = 1020;         // LumoFrame1
inline constexpr std::uint16_t kIdFieldLabelBase = 1030; // Label2 0..4
inline constexpr std::uint16_t kIdFieldBase = 1040;      // Text1 0..4
inline constexpr std::uint16_t kIdBrowseBase = 1050;     // Command1 1 and 3

// The editor's client area, in twips.
inline constexpr int kEditorWidth = 10215;
inline constexpr int kEditorHeight = 7125;

// Every control of the editor in creation order: the window's own controls by tab index, the
// framed panel among them, then the panel's children by theirs.
std::span<ControlPlacement const> EditorLayout();

// The About dialog's client area and controls.
inline constexpr int kAboutWidth = 5730;
inline constexpr int kAboutHeight = 3555;
inline constexpr std::uint16_t kIdAboutIcon = 1100;
inline constexpr std::uint16_t kIdAboutOk = 1;  // IDOK: Enter and Escape both press it
inline constexpr std::uint16_t kIdAboutSysInfo = 1102;
inline constexpr std::uint16_t kIdAboutDescription = 1103;
inline constexpr std::uint16_t kIdAboutTitle = 1104;
inline constexpr std::uint16_t kIdAboutVersion = 1105;
inline constexpr std::uint16_t kIdAboutDisclaimer = 1106;

std::span<ControlPlacement const> AboutLayout();

// The Options dialog's client area and controls.
inline constexpr int kOptionsWidth = 7020;
inline constexpr std::uint16_t kIdOptionsOk = 1;      // IDOK
inline constexpr std::uint16_t kIdOptionsCancel = 2;  // IDCANCEL
inline constexpr std::uint16_t kIdTrayNotices = 1200;
inline constexpr std::uint16_t kIdStartAtLogon = 1201;
inline constexpr std::uint16_t kIdBackoff = 1202;
inline constexpr std::uint16_t kIdRestartHung = 1203;
inline constexpr std::uint16_t kIdHangSeconds = 1204;
inline constexpr std::uint16_t kIdHangSecondsUnit = 1205;
inline constexpr std::uint16_t kIdLogonNote = 1206;  // which copy starts at logon, when not this one
inline constexpr std::uint16_t kIdEventLog = 1207;
inline constexpr std::uint16_t kIdOnEventLabel = 1208;
inline constexpr std::uint16_t kIdOnEvent = 1209;
inline constexpr std::uint16_t kIdOnEventBrowse = 1210;
inline constexpr std::uint16_t kIdPolicyNote = 1211;  // shown when a policy sets a row
// The Alerts rows: the URL, the format and AlertAfter.
inline constexpr std::uint16_t kIdAlertUrlLabel = 1212;
inline constexpr std::uint16_t kIdAlertUrl = 1213;
inline constexpr std::uint16_t kIdAlertFormatLabel = 1214;
inline constexpr std::uint16_t kIdAlertFormat = 1215;
inline constexpr std::uint16_t kIdAlertAfterLabel = 1216;
inline constexpr std::uint16_t kIdAlertAfter = 1217;
inline constexpr std::uint16_t kIdAlertAfterUnit = 1218;
// The escalation rows: RebootAt and RebootDays, MinUptime and MaxReboots, EscalateNotice.
inline constexpr std::uint16_t kIdRebootAtLabel = 1219;
inline constexpr std::uint16_t kIdRebootAt = 1220;
inline constexpr std::uint16_t kIdRebootDaysLabel = 1221;
inline constexpr std::uint16_t kIdRebootDays = 1222;
inline constexpr std::uint16_t kIdMinUptimeLabel = 1223;
inline constexpr std::uint16_t kIdMinUptime = 1224;
inline constexpr std::uint16_t kIdMaxRebootsLabel = 1225;
inline constexpr std::uint16_t kIdMaxReboots = 1226;
inline constexpr std::uint16_t kIdMaxRebootsUnit = 1227;
inline constexpr std::uint16_t kIdNoticeLabel = 1228;
inline constexpr std::uint16_t kIdNotice = 1229;
inline constexpr std::uint16_t kIdNoticeUnit = 1230;
// DisplayOff=Hours: the displays sleep while no program with hours is inside them.
inline constexpr std::uint16_t kIdDisplayOff = 1231;

// The Options dialog's controls, with the note under "Start Vigilon when I log on" only when
// `logonNote`: without it, the rows below move up into its place.
std::vector<ControlPlacement> OptionsLayout(bool logonNote);
// The height of the Options dialog's client area, in twips.
int OptionsHeight(bool logonNote);

// A program's Settings dialog: its client area, its tab control and the controls of its four
// pages, each shown only while its page is.
inline constexpr int kSettingsWidth = 7200;
inline constexpr int kSettingsHeight = 5700;
inline constexpr std::uint16_t kIdSettingsOk = 1;      // IDOK
inline constexpr std::uint16_t kIdSettingsCancel = 2;  // IDCANCEL
inline constexpr std::uint16_t kIdSettingsTabs = 1400;
inline constexpr std::uint16_t kIdSettingsLockNote = 1401;  // shown when an administrator locks the settings
// The Window page.
inline constexpr std::uint16_t kIdShowLabel = 1410;
inline constexpr std::uint16_t kIdShow = 1411;
inline constexpr std::uint16_t kIdMonitorLabel = 1412;
inline constexpr std::uint16_t kIdMonitor = 1413;
inline constexpr std::uint16_t kIdOnTop = 1414;
// The Window page's rows that say which window is the program's.
inline constexpr std::uint16_t kIdCaptionMatchLabel = 1470;
inline constexpr std::uint16_t kIdCaptionMatch = 1471;
inline constexpr std::uint16_t kIdWindowClassLabel = 1472;
inline constexpr std::uint16_t kIdWindowClass = 1473;
inline constexpr std::uint16_t kIdProcessLabel = 1474;
inline constexpr std::uint16_t kIdProcess = 1475;
inline constexpr std::uint16_t kIdNoWindow = 1476;  // the program shows no window: the page's other rows are greyed
// The Start page's opening hours and idle restart.
inline constexpr std::uint16_t kIdHoursLabel = 1480;
inline constexpr std::uint16_t kIdHours = 1481;
inline constexpr std::uint16_t kIdHoursFormat = 1482;
inline constexpr std::uint16_t kIdIdleLabel = 1483;
inline constexpr std::uint16_t kIdIdle = 1484;
inline constexpr std::uint16_t kIdIdleUnit = 1485;
// The Start page.
inline constexpr std::uint16_t kIdDelayLabel = 1420;
inline constexpr std::uint16_t kIdDelay = 1421;
inline constexpr std::uint16_t kIdDelayUnit = 1422;
inline constexpr std::uint16_t kIdStartAfterLabel = 1423;
inline constexpr std::uint16_t kIdStartAfter = 1424;
inline constexpr std::uint16_t kIdWaitForLabel = 1425;
inline constexpr std::uint16_t kIdWaitFor = 1426;
inline constexpr std::uint16_t kIdWaitSecondsLabel = 1427;
inline constexpr std::uint16_t kIdWaitSeconds = 1428;
inline constexpr std::uint16_t kIdWaitSecondsUnit = 1429;
// The Restart page.
inline constexpr std::uint16_t kIdMemoryRule = 1300;
inline constexpr std::uint16_t kIdMemoryLimit = 1301;
inline constexpr std::uint16_t kIdMemoryUnit = 1302;
inline constexpr std::uint16_t kIdScheduleRule = 1303;
inline constexpr std::uint16_t kIdScheduleTimes = 1304;
inline constexpr std::uint16_t kIdCrashDialogRule = 1305;
inline constexpr std::uint16_t kIdTimesFormat = 1306;
inline constexpr std::uint16_t kIdRestartWhenLabel = 1307;
inline constexpr std::uint16_t kIdRestartWhen = 1308;
inline constexpr std::uint16_t kIdEscalateLabel = 1330;
inline constexpr std::uint16_t kIdEscalate = 1331;
inline constexpr std::uint16_t kIdEscalateFormat = 1332;
inline constexpr std::uint16_t kIdEscalateMinutesLabel = 1333;
inline constexpr std::uint16_t kIdEscalateMinutes = 1334;
inline constexpr std::uint16_t kIdEscalateMinutesUnit = 1335;
// The Health page.
inline constexpr std::uint16_t kIdCheckLabel = 1440;
inline constexpr std::uint16_t kIdCheck = 1441;
inline constexpr std::uint16_t kIdCheckForms = 1442;
inline constexpr std::uint16_t kIdCheckTextLabel = 1443;
inline constexpr std::uint16_t kIdCheckText = 1444;
inline constexpr std::uint16_t kIdCheckAgeLabel = 1445;
inline constexpr std::uint16_t kIdCheckAge = 1446;
inline constexpr std::uint16_t kIdCheckAgeUnit = 1447;
inline constexpr std::uint16_t kIdCheckSecondsLabel = 1448;
inline constexpr std::uint16_t kIdCheckSeconds = 1449;
inline constexpr std::uint16_t kIdCheckSecondsUnit = 1450;
inline constexpr std::uint16_t kIdCheckTimeoutLabel = 1451;
inline constexpr std::uint16_t kIdCheckTimeout = 1452;
inline constexpr std::uint16_t kIdCheckTimeoutUnit = 1453;
inline constexpr std::uint16_t kIdCheckGraceLabel = 1454;
inline constexpr std::uint16_t kIdCheckGrace = 1455;
inline constexpr std::uint16_t kIdCheckGraceUnit = 1456;
inline constexpr std::uint16_t kIdCheckFailuresLabel = 1457;
inline constexpr std::uint16_t kIdCheckFailures = 1458;
inline constexpr std::uint16_t kIdCheckFailuresUnit = 1459;
inline constexpr std::uint16_t kIdCheckActionLabel = 1460;
inline constexpr std::uint16_t kIdCheckAction = 1461;

// The pages in the order of their tabs; All for the controls under the tabs.
enum class SettingsPage : std::uint8_t { Window, Start, Restart, Health, All };
inline constexpr int kSettingsPageCount = 4;
wchar_t const* SettingsPageName(SettingsPage page);  // "Window", "Start", "Restart", "Health"

struct PagedPlacement {
    SettingsPage page;
    ControlPlacement placement;
};
// In creation order: the tab control, then each page's controls in keyboard order, then the rest.
std::span<PagedPlacement const> ProgramSettingsLayout();

// The engraved rule across the About dialog: a grey line over a white one, in twips.
struct RuleLine {
    int left, top, right, widthPixels;
    std::uint32_t colour;  // 0x00BBGGRR
};
std::span<RuleLine const> AboutRule();

}  // namespace vigilon
