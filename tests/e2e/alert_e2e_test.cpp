#include "../shared/local_http_server.h"

#include "e2e_fixture.h"


namespace vigilon::e2e {
namespace {

// The posts whose body holds every one of `parts`.
std::size_t PostsWith(LocalHttpServer& server, std::initializer_list<std::string> parts) {
    std::size_t count = 0;
    for (std::string const& body : server.Posts()) {
        bool all = true;
        for (std::string const& part : parts) all = all && body.find(part) != std::string::npos;
        count += all ? 1 : 0;
    }
    return count;
}

class AlertTest : public VigilonTest {
protected:
    void Set(wchar_t const* key, std::wstring const& value) {
        WritePrivateProfileStringW(L"Apps", key, value.c_str(), Path(L"vigilon.ini").c_str());
    }
    std::wstring Url(LocalHttpServer const& server) const {
        return L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/alerts/s3cret";
    }
    std::string Name(std::wstring const& program) const {
        std::wstring const caption = Caption(program);
        return "\"name\": \"" + std::string(caption.begin(), caption.end()) + "\"";
    }
};

// A program back at once after a restart is alerted for nothing: the unit tests prove that on the
// fakes. Here a real program that stays down, seen by the real process watch and window search.
TEST_F(AlertTest, AProgramThatStaysDownIsAlertedAsJsonThenRecoveredAndNothingElseIsPosted) {
    LocalHttpServer server;
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{Caption(L"Alpha"), Caption(L"Alpha"), alpha}});
    Set(L"AlertUrl", Url(server));
    Set(L"AlertAfter", L"5");
    Set(L"Notices", L"Tray");
    StartVigilon();
    // Found by Vigilon, not merely there: a window that goes before it is found is a start still awaited.
    ASSERT_TRUE(WaitUntil([&] { return InHistory(Caption(L"Alpha"), "found"); }));

    // Its next starts end at once, so it stays down past AlertAfter.
    WriteTextFile(alpha + L".cfg", Caption(L"Alpha") + L"\r\n" + alpha + L".txt\r\nexit-at-once\r\n");
    Close(WindowOf(Caption(L"Alpha")));
    // AlertAfter is 5 s; the wait allows 40, for a machine busy with other builds.
    ASSERT_TRUE(WaitUntil([&] { return PostsWith(server, {Name(L"Alpha"), "\"kind\": \"gone\""}) >= 1; }, 40))
        << server.Posts().size() << " posts";
    std::vector<LocalHttpServer::Served> const served = server.Requests();
    EXPECT_EQ(served.back().postPath, "/alerts/s3cret");
    EXPECT_NE(served.back().body.find("\"computer\": "), std::string::npos);

    // Started as before, it runs again: one `recovered`. Its next start may wait for the last one's
    // window for up to a minute; the wait allows half as long again.
    WriteTextFile(alpha + L".cfg", Caption(L"Alpha") + L"\r\n" + alpha + L".txt\r\n");
    ASSERT_TRUE(WaitUntil([&] { return PostsWith(server, {Name(L"Alpha"), "\"kind\": \"recovered\""}) >= 1; }, 90))
        << testing::ReadFileBytes(Path(L"vigilon.log"));
    Sleep(3000);  // time for a second one, which must not come
    EXPECT_EQ(PostsWith(server, {Name(L"Alpha"), "\"kind\": \"gone\""}), 1u);
    EXPECT_EQ(PostsWith(server, {Name(L"Alpha"), "\"kind\": \"recovered\""}), 1u);
    EXPECT_EQ(server.Posts().size(), 2u) << "the starts that ended at once within the outage are not alerted again";
    ExitVigilon();
    // The history names the site at most, never the webhook's path.
    EXPECT_EQ(testing::ReadFileBytes(Path(L"vigilon.log")).find("s3cret"), std::string::npos);
}

TEST_F(AlertTest, SlashAlertTestPostsAtOnceAndPrintsTheServicesAnswer) {
    LocalHttpServer server;
    server.Answer("200 OK", "accepted here");
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}});
    Set(L"AlertUrl", Url(server));
    Set(L"AlertFormat", L"Text");
    Set(L"Notices", L"Tray");
    StartVigilon();
    CommandResult const accepted = RunCommand(exe_, L"/alert test", Path(L"answer.txt"), 60);
    EXPECT_EQ(accepted.exitCode, 0) << accepted.output;
    std::string const site = "http://127.0.0.1:" + std::to_string(server.Port());
    EXPECT_NE(accepted.output.find("Accepted by " + site + ": HTTP 200."), std::string::npos) << accepted.output;
    EXPECT_NE(accepted.output.find("accepted here"), std::string::npos) << accepted.output;
    ASSERT_EQ(server.Posts().size(), 1u);
    EXPECT_NE(server.Posts()[0].find("Vigilon: test"), std::string::npos) << server.Posts()[0];

    server.Answer("404 Not Found", "no such webhook");
    CommandResult const refused = RunCommand(exe_, L"/alert test", Path(L"answer.txt"), 60);
    EXPECT_EQ(refused.exitCode, 1) << refused.output;
    EXPECT_NE(refused.output.find("Not accepted by " + site + ": HTTP 404."), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("no such webhook"), std::string::npos);
    ExitVigilon();
}

}  // namespace
}  // namespace vigilon::e2e
