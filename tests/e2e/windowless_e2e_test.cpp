#include "e2e_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vigilon::e2e {
namespace {

// A tray agent without a window: the stand-in opens none and ends 3 s after each start, as a crash
// does. Vigilon finds it by its process alone (its caption left empty), starts it not minimised,
// and starts it again once that process has ended.
TEST_F(VigilonTest, AProgramWithoutAWindowIsFoundByItsProcessAndStartedAgainOnceItEnds) {
    std::wstring const agent = AddHelper(L"agent.exe", Caption(L"Agent"), L"no-window exit-after-ms=3000");
    WriteIni({{L"Agent", L"", agent}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Agent", L"Window", L"None", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"Agent", "found"); }));
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(agent).starts.size() >= 2; }));
    EXPECT_EQ(RecordOf(agent).starts[0].showCommand, SW_SHOWNORMAL);
    std::string const history = testing::ReadFileBytes(Path(L"vigilon.log"));
    EXPECT_NE(history.find("\tgone\tAgent\texit code 3"), std::string::npos) << history;
    // Found again after its new start, by its process: nothing waited for a window meanwhile.
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<std::string> const events = HistoryEvents(Path(L"vigilon.log"), "Agent");
        return std::count(events.begin(), events.end(), "found") >= 2;
    }));
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
