#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "../shared/local_http_server.h"
#include "file_holder.h"
#include "platform/win32/module_path.h"
#include "platform/win32/tcp_connect.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_health_checks.h"
#include "platform/win32/win32_health_probe.h"
#include "wine_test_support.h"

namespace vigilon {
namespace {

// The check's answer, polled for up to 30 s: a command starts under Wine in a second or more on a
// loaded machine, and each check's limit below is shorter than that wait.
HealthAnswer Await(Win32HealthProbe& probe, std::uint32_t ticket) {
    for (int i = 0; i < 600; ++i) {
        if (std::optional<HealthAnswer> answer = probe.Take(ticket)) return *answer;
        Sleep(50);
    }
    HealthAnswer none;
    none.error = L"(no answer within the test's wait)";
    return none;
}

HealthAnswer Check(HealthKind kind, std::wstring target, int port = 0, std::wstring bodyText = {},
                   int timeoutMilliseconds = 10'000) {
    Win32HealthProbe probe;
    HealthQuestion question;
    question.kind = kind;
    question.target = std::move(target);
    question.port = port;
    question.bodyText = std::move(bodyText);
    question.timeoutMilliseconds = timeoutMilliseconds;
    question.folder = SystemFolderPath();
    return Await(probe, probe.Begin(question));
}

// True, within 10 s, once no process holds the file.
bool FreedWithin10Seconds(std::wstring const& path) {
    for (int i = 0; i < 200; ++i) {
        HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        Sleep(50);
    }
    return false;
}

TEST(HealthProbe, AnHttpCheckGivesTheStatusAndWhetherTheFirst64KiBHoldTheText) {
    LocalHttpServer server;
    server.Answer("200 OK", "<html>Player READY</html>");
    HealthAnswer answer = Check(HealthKind::Http, server.Url(), 0, L"ready");
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.code, 200u);
    EXPECT_TRUE(answer.textFound);
    EXPECT_FALSE(Check(HealthKind::Http, server.Url(), 0, L"crashed").textFound);

    server.Answer("200 OK", std::string(70'000, 'x') + "ready");
    answer = Check(HealthKind::Http, server.Url(), 0, L"ready");
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_FALSE(answer.textFound) << "the text comes after the first 64 KiB";

    server.Answer("503 Service Unavailable", "busy");
    answer = Check(HealthKind::Http, server.Url());
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.code, 503u);
    EXPECT_TRUE(answer.textFound) << "no text asked for";

    // A port where nothing listens: bound, so that no other program takes it meanwhile.
    // A body that stalls after the text: the check ends at the text, and at its limit without it.
    server.Answer("200 OK", "<html>READY", 100'000);
    answer = Check(HealthKind::Http, server.Url(), 0, L"ready", 3000);
    EXPECT_TRUE(answer.answered && answer.textFound) << answer.error;
    EXPECT_TRUE(Check(HealthKind::Http, server.Url(), 0, L"absent", 2000).timedOut);

    SOCKET const closed = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int const closedPort = LocalHttpServer::BindToLoopback(closed);
    answer = Check(HealthKind::Http, L"http://127.0.0.1:" + std::to_wstring(closedPort) + L"/");
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.error, L"no connection");

    EXPECT_TRUE(Check(HealthKind::Tcp, L"127.0.0.1", server.Port()).answered);
    answer = Check(HealthKind::Tcp, L"127.0.0.1", closedPort);
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.error, L"refused");
    closesocket(closed);
}

TEST(HealthProbe, TheTextIsFoundWhenSplitBetweenTwoPiecesOfTheBody) {
    BodySearch search(L"Gr\u00FC\u00DFe");  // "ü" is two bytes in UTF-8, split below
    EXPECT_FALSE(search.Add("<p>viele GR\xC3"));
    EXPECT_TRUE(search.Add("\x9C\xC3\x9F" "E</p>"));
    EXPECT_FALSE(BodySearch(L"ready").Add("<p>not re"));
}

TEST(HealthProbe, ANameGivesEachAddressAShareOfTheLimitButTheReadinessWaitTwoSecondsEach) {
    // Loopback connections are refused at once here, so only the sharing itself can be shown.
    ConnectLimits const check{.totalMilliseconds = 9000};
    EXPECT_EQ(AddressMilliseconds(check, 9000, 3), 3000);
    EXPECT_EQ(AddressMilliseconds(check, 600, 3), 500) << "at least a floor";
    EXPECT_EQ(AddressMilliseconds(check, 300, 2), 300) << "never more than is left";
    EXPECT_EQ(AddressMilliseconds({.perAddressMilliseconds = 2000}, INT_MAX, 2), 2000);
}

TEST(HealthProbe, AFileCheckGivesTheAgeOfItsLastWriteOrSaysItIsNotFound) {
    testing::TempFolder folder;
    std::wstring const beat = folder / L"beat.txt";
    {
        UniqueKernelHandle const file = OwnFileHandle(
            CreateFileW(beat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        std::uint64_t const ticks = TicksOf(now) - 300ULL * 10'000'000;  // 300 s ago, in 100 ns
        FILETIME const then{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &then));
    }
    HealthAnswer answer = Check(HealthKind::File, beat);
    EXPECT_TRUE(answer.answered) << answer.error;
    // At least the 300 s set; the margin allows for a slow machine between setting and checking.
    EXPECT_GE(answer.ageSeconds, 300);
    EXPECT_LT(answer.ageSeconds, 360);

    answer = Check(HealthKind::File, folder / L"missing.txt");
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.error, L"not found");
    EXPECT_EQ(Check(HealthKind::File, L"\\\\vigilon-no-such-host\\share\\beat.txt").error, L"share not reachable");
}

TEST(HealthProbe, ACommandGivesItsExitCodeAndIsEndedWithWhatItStartedAtItsLimitOrWhenDropped) {
    std::wstring const interpreter = L"\"" + SystemFolderPath() + L"\\cmd.exe\" /d /s /c ";
    HealthAnswer answer = Check(HealthKind::Run, interpreter + L"\"exit 2\"");
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.code, 2u);
    EXPECT_EQ(Check(HealthKind::Run, L"cmd.exe /c exit 0").error, L"not a full path");
    // A program in a folder with a blank in its name, left unquoted.
    testing::TempFolder folder;
    std::wstring const blank = folder / L"with blank";
    ASSERT_TRUE(CreateDirectoryW(blank.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((SystemFolderPath() + L"\\cmd.exe").c_str(), (blank + L"\\cmd.exe").c_str(), TRUE));
    answer = Check(HealthKind::Run, blank + L"\\cmd.exe /d /s /c \"exit 3\"");
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.code, 3u);
    // A script, unquoted, with an argument: run by cmd.exe.
    std::wstring const script = folder / L"check.cmd";
    {
        UniqueKernelHandle const file = OwnFileHandle(
            CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), "@exit /b %1\r\n", 13, &written, nullptr));
    }
    answer = Check(HealthKind::Run, script + L" 4");
    EXPECT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.code, 4u);

    // A command that runs a program of its own, which holds a file until it is ended.
    std::wstring const held = folder / L"held.txt";
    CloseHandle(CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    auto holding = [&](std::wstring const& tag) {
        return interpreter + L"\"\"" + self + L"\" " + testing::kHoldFileSwitch + L" \"" + held + L"\" Ready" + tag +
               L" Release" + tag + L"\"";
    };
    std::wstring const tag = L"VigilonHealth" + std::to_wstring(GetCurrentProcessId());
    UniqueKernelHandle const ready(CreateEventW(nullptr, TRUE, FALSE, (L"Ready" + tag).c_str()));
    UniqueKernelHandle const release(CreateEventW(nullptr, TRUE, FALSE, (L"Release" + tag).c_str()));

    Win32HealthProbe probe;
    HealthQuestion question;
    question.kind = HealthKind::Run;
    question.target = holding(tag);
    question.folder = SystemFolderPath();
    // The limit leaves the program time to start and take its file even on a loaded machine.
    question.timeoutMilliseconds = 5000;
    std::uint32_t ticket = probe.Begin(question);
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    answer = Await(probe, ticket);
    EXPECT_TRUE(answer.timedOut) << answer.error;
    EXPECT_FALSE(answer.answered);
    EXPECT_TRUE(FreedWithin10Seconds(held)) << "the program the command started outlived its limit";

    ResetEvent(ready.Get());
    question.timeoutMilliseconds = 60'000;
    ticket = probe.Begin(question);
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    probe.Drop(ticket);
    EXPECT_TRUE(FreedWithin10Seconds(held)) << "a dropped check's command still runs";
    EXPECT_FALSE(probe.Take(ticket).has_value());

    // What a command leaves running ends with its handles, as it does when Vigilon ends unexpectedly.
    std::wstring const holder = L"\"" + std::wstring(self) + L"\" " + testing::kHoldFileSwitch + L" \"" + held +
                                L"\" Ready" + tag + L" Release" + tag;
    ResetEvent(ready.Get());
    HealthCommand command;
    ASSERT_EQ(command.Start(self, holder, SystemFolderPath()), 0u);
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    command.Release();
    EXPECT_TRUE(FreedWithin10Seconds(held)) << "a command outlived its check's handles";
    // A check dropped before its thread starts the command never starts it.
    HealthCommand dropped;
    dropped.End();
    EXPECT_EQ(dropped.Start(self, holder, SystemFolderPath()), static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(dropped.Process(), nullptr);
    SetEvent(release.Get());
}

}  // namespace
}  // namespace vigilon
