#include "../shared/local_http_server.h"

#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {
namespace {

// A program watched with a check every 5 s that counts at once and acts after two failures in a
// row: the shortest timing the keys take, so that a test sees a restart within seconds.
class HealthTest : public VigilonTest {
protected:
    std::wstring Watch(std::wstring const& name, std::wstring const& check, std::wstring const& options = L"") {
        std::wstring const helper = AddHelper(name + L".exe", Caption(name), options);
        WriteIni({{name, Caption(name), helper}});
        std::pair<wchar_t const*, std::wstring> const keys[] = {
            {L"Check", check}, {L"CheckSeconds", L"5"}, {L"CheckGrace", L"0"}, {L"CheckFailures", L"2"},
            {L"CheckTimeout", L"5"}};
        for (auto const& [key, value] : keys) Set(name, key, value);
        // Failures are told in the tray: a notice box would wait for OK, in the way of the test's end.
        Set(L"Apps", L"Notices", L"Tray");
        return helper;
    }
    void Set(std::wstring const& program, wchar_t const* key, std::wstring const& value) {
        WritePrivateProfileStringW(program.c_str(), key, value.c_str(), Path(L"vigilon.ini").c_str());
    }
    std::size_t Starts(std::wstring const& helper) const { return RecordOf(helper).starts.size(); }
    CommandResult Vigilon(std::wstring const& arguments) {
        // A check gives up after CheckTimeout (5 s here) and is answered at the next pass.
        return RunCommand(exe_, arguments, Path(L"answer.txt"), 30);
    }
};

long long AnsweredBefore(std::vector<LocalHttpServer::Served> const& served, int status, long long time) {
    return std::count_if(served.begin(), served.end(),
                         [&](LocalHttpServer::Served const& s) { return s.status == status && s.time < time; });
}

TEST_F(HealthTest, AServerThatStopsAnsweringWellIsRestartedAfterItsFailuresAndNotBefore) {
    LocalHttpServer server;
    std::wstring const web = Watch(L"Web", L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/health");
    StartVigilon();
    // Two checks that pass: a check every 5 s, within 40 s on a machine busy with other builds.
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() >= 2; }, 40));
    EXPECT_EQ(server.Paths().back(), "/health");
    EXPECT_EQ(Starts(web), 1u);
    server.SetStatus(503);
    // Two failures 5 s apart, then a graceful close and a new start.
    ASSERT_TRUE(WaitUntil([&] { return Starts(web) >= 2; }, 60));
    EXPECT_GE(AnsweredBefore(server.Requests(), 503, RecordOf(web).starts[1].time), 2);
    EXPECT_EQ(RecordOf(web).closes, 1);  // asked to close, not ended
    EXPECT_TRUE(InHistory(L"Web", "unhealthy"));
    ExitVigilon();
}

TEST_F(HealthTest, AProgramShowingItsOwnErrorWindowIsRestarted) {
    std::wstring const player = Watch(L"Player", L"window:Connection lost", L"lost-window-after-ms=2000");
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return FindWindowStartingWith(L"Connection lost") != nullptr; }, 30));
    // Two failures in a row need two checks 5 s apart: nothing is restarted this soon after the
    // window came (a margin of about one check, not a guarantee on a machine that stalls for 5 s).
    EXPECT_EQ(Starts(player), 1u);
    ASSERT_TRUE(WaitUntil([&] { return Starts(player) >= 2; }, 60));
    EXPECT_EQ(RecordOf(player).closes, 1);
    EXPECT_TRUE(InHistory(L"Player", "unhealthy"));
    ExitVigilon();
}

TEST_F(HealthTest, AFileThatIsNoLongerWrittenHasItsProgramRestarted) {
    std::wstring const beat = Path(L"beat.txt");
    std::wstring const logger = Watch(L"Logger", L"file:" + beat);
    Set(L"Logger", L"CheckAge", L"4");
    ULONGLONG touched = 0;
    auto touch = [&] {
        if (GetTickCount64() - touched >= 1000) {
            WriteTextFile(beat, L"beat");
            touched = GetTickCount64();
        }
        return true;
    };
    touch();
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return touch() && InHistory(L"Logger", "found"); }));
    // Written every second against an age of 4 s: two checks (5 s apart) pass, and nothing restarts.
    EXPECT_TRUE(HoldsFor([&] { return touch() && Starts(logger) == 1; }, 12));
    ASSERT_TRUE(WaitUntil([&] { return Starts(logger) >= 2; }, 60));
    EXPECT_TRUE(InHistory(L"Logger", "unhealthy"));
    ExitVigilon();
}

TEST_F(HealthTest, CheckPrintsWhetherItWorksAndExitsByIt) {
    LocalHttpServer server;
    Watch(L"Web", L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/");
    Set(L"Web", L"CheckAction", L"Report");
    Set(L"Apps", L"Number", L"2");
    Set(L"Apps", L"App2", L"Notes");
    Set(L"Notes", L"Caption", Caption(L"Notes"));
    Set(L"Notes", L"EXE", AddHelper(L"notes.exe", Caption(L"Notes")));
    StartVigilon();

    CommandResult const works = Vigilon(L"/check \"web\"");
    EXPECT_EQ(works.exitCode, 0) << works.output;
    EXPECT_TRUE(works.output.starts_with("Web works")) << works.output;
    server.SetStatus(503);
    CommandResult const fails = Vigilon(L"/check Web");
    EXPECT_EQ(fails.exitCode, 1) << fails.output;
    EXPECT_NE(fails.output.find("Web fails: HTTP 503"), std::string::npos) << fails.output;
    EXPECT_EQ(Vigilon(L"/check \"Notes\"").exitCode, 2);   // no check
    EXPECT_EQ(Vigilon(L"/check \"Nobody\"").exitCode, 2);  // no such program
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
