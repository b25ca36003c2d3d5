#include "e2e_fixture.h"

#include <sstream>

namespace vigilon::e2e {
namespace {

TEST_F(VigilonTest, TroubleRunsTheUsersCommandWithItsEnvironmentAndTheEventLogHasItsMessages) {
    std::wstring const alpha = AddHelper(L"a.exe", Caption(L"Alpha"));
    WriteIni({{L"Alpha", Caption(L"Alpha"), alpha}});
    std::wstring const told = Path(L"told.txt");
    WriteTextFile(Path(L"tell.cmd"), L"@echo %VIGILON_EVENT%;%VIGILON_PROGRAM%;%VIGILON_DETAILS%;%VIGILON_COMPUTER%;"
                                     L"%VIGILON_HISTORY%;%VIGILON_TIME%>>\"" + told + L"\"\r\n");
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Apps", L"OnEvent", (L"\"" + Path(L"tell.cmd") + L"\"").c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"EventLog", L"1", ini.c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Alpha")) != nullptr; }));
    DWORD process = 0;
    GetWindowThreadProcessId(WindowOf(Caption(L"Alpha")), &process);
    ASSERT_TRUE(WaitUntil([&] { return HistoryEvents(Path(L"vigilon.log"), "Alpha").size() >= 3; }));  // hidden
    Close(WindowOf(Caption(L"Alpha")));
    ASSERT_TRUE(WaitUntil([&] { return !testing::ReadFileBytes(told).empty(); }));
    std::string const line = testing::ReadFileBytes(told);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(computer, &size);
    std::wstring const expected = L"gone;Alpha;process " + std::to_wstring(process) + L";" + computer + L";" +
                                  Path(L"vigilon.log") + L";";
    std::string const narrow(expected.begin(), expected.end());
    EXPECT_EQ(line.substr(0, narrow.size()), narrow) << line;
    EXPECT_EQ(line.size(), narrow.size() + 19 + 2);  // the time, 2026-12-08 07:23:09, and the line break

    // The event log's messages are in the exe, where Event Viewer looks for them.
    HMODULE const exe = LoadLibraryExW(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    wchar_t* text = nullptr;
    DWORD const n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   exe, 0x80000000u + 200, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::wstring(text).substr(0, 34), L"%1 was gone (%2), and is started a");
    LocalFree(text);
    FreeLibrary(exe);
}

}  // namespace
}  // namespace vigilon::e2e
