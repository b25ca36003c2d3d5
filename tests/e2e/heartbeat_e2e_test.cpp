#include "../shared/local_http_server.h"

#include "e2e_fixture.h"

namespace vigilon::e2e {
namespace {

bool AnyHas(std::vector<std::string> const& paths, std::string const& part) {
    for (std::string const& path : paths) {
        if (path.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST_F(VigilonTest, AHeartbeatSaysUpWhileTheProgramRunsThenDownWithTheReasonOnceItIsGone) {
    LocalHttpServer server;
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}});
    std::wstring const ini = Path(L"vigilon.ini");
    std::wstring const url = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/push?status={status}&msg={msg}";
    WritePrivateProfileStringW(L"Apps", L"HeartbeatUrl", url.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"HeartbeatSeconds", L"10", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Alpha")) != nullptr; }));
    // The first heartbeat comes one period (10 s) after the start; the wait allows three, for a
    // machine busy with other builds.
    ASSERT_TRUE(WaitUntil([&] { return AnyHas(server.Paths(), "/push?status=up&msg=1%20program%20running"); }, 30));

    // Its next start ends at once, so it stays gone: the heartbeat says so, with its state.
    WriteTextFile(alpha + L".cfg", Caption(L"Alpha") + L"\r\n" + alpha + L".txt\r\nexit-at-once\r\n");
    Close(WindowOf(Caption(L"Alpha")));
    EXPECT_TRUE(WaitUntil([&] { return AnyHas(server.Paths(), "/push?status=down&msg=Alpha%3A%20"); }, 30))
        << (server.Paths().empty() ? "" : server.Paths().back());
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
