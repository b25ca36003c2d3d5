#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

// Writes a key of a program's section beside the ones WriteIni writes.
void WriteKey(std::wstring const& ini, wchar_t const* program, wchar_t const* key, std::wstring const& value) {
    WritePrivateProfileStringW(program, key, value.c_str(), ini.c_str());
}

TEST_F(VigilonTest, StartAfterHoldsAStartUntilTheOtherProgramsWindowAnswers) {
    std::wstring const kiosk = AddHelper(L"kiosk.exe", Caption(L"Kiosk"));
    std::wstring const player = AddHelper(L"player.exe", Caption(L"Player"));
    WriteIni({{L"Kiosk", Caption(L"Kiosk"), kiosk}, {L"Player", Caption(L"Player"), player}});
    std::wstring const ini = Path(L"vigilon.ini");
    WriteKey(ini, L"Kiosk", L"StartDelay", L"4");
    WriteKey(ini, L"Player", L"StartAfter", L"kiosk");
    StartVigilon();

    // Kiosk starts after its delay, and Player only once Kiosk's window was found and answered.
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(player).starts.empty(); }, 30));
    ASSERT_FALSE(RecordOf(kiosk).starts.empty());
    EXPECT_GE(RecordOf(player).starts[0].time, RecordOf(kiosk).starts[0].time);
    EXPECT_TRUE(InHistory(L"Kiosk", "found"));
    std::vector<std::string> const events = HistoryEvents(Path(L"vigilon.log"), "Player");
    auto const waiting = std::find(events.begin(), events.end(), "waiting");
    auto const ready = std::find(events.begin(), events.end(), "ready");
    auto const launch = std::find(events.begin(), events.end(), "launch");
    ASSERT_NE(waiting, events.end());
    ASSERT_NE(ready, events.end());
    EXPECT_TRUE(waiting < ready && ready < launch);
    ExitVigilon();
}

TEST_F(VigilonTest, WaitForHoldsAStartUntilTheFileIsThere) {
    std::wstring const player = AddHelper(L"player.exe", Caption(L"Player"));
    std::wstring const flag = Path(L"share\\ready.flag");
    WriteIni({{L"Player", Caption(L"Player"), player}});
    WriteKey(Path(L"vigilon.ini"), L"Player", L"WaitFor", flag);
    StartVigilon();

    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"Player", "waiting"); }));
    // Three seconds is more than a check every 2 s needs to see the file: it is missing.
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(player).starts.empty(); }, 3));
    CreateDirectoryW(Path(L"share").c_str(), nullptr);
    WriteTextFile(flag, L"ready");
    // A check every 2 s and a pass every second: well within 20 s, even on a loaded machine.
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(player).starts.empty(); }));
    EXPECT_TRUE(InHistory(L"Player", "ready"));
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
