#include "e2e_fixture.h"

#include <cwctype>

namespace vigilon::e2e {
namespace {

// The file name of the executable of the window's process, upper-cased; empty when unreadable.
std::wstring ImageNameOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE const process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return {};
    wchar_t path[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    bool const read = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    if (!read) return {};
    std::wstring name(path, size);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
    return name;
}

// The top-level window captioned `caption` whose process runs `imageName` (upper case); null for none.
HWND WindowOfImage(std::wstring const& caption, std::wstring const& imageName) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, caption.c_str())) != nullptr;) {
        if (ImageNameOf(window) == imageName) return window;
    }
    return nullptr;
}

// Windows of one caption shown by three programs: two watched, each told apart by its Process (one
// by its file name, one by its full path), and a stranger already running when Vigilon starts.
TEST_F(VigilonTest, ProgramsWithOneCaptionAreToldApartByTheirProcess) {
    std::wstring const caption = Caption(L"Twin");
    std::wstring const one = AddHelper(L"One\\one.exe", caption);
    std::wstring const two = AddHelper(L"Two\\two.exe", caption);
    std::wstring const stranger = AddHelper(L"Other\\stranger.exe", caption);
    Process strangerProcess;
    ASSERT_TRUE(strangerProcess.Start(stranger, L"", FolderOf(stranger)));
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(caption) != nullptr; }));
    HWND const strangers = WindowOf(caption);

    WriteIni({{L"One", caption, one}, {L"Two", caption, two}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"One", L"Process", L"ONE.exe", ini.c_str());
    WritePrivateProfileStringW(L"Two", L"Process", two.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    StartVigilon();

    // Neither takes the stranger's window, first in the desktop's order: each is started, and
    // each of their windows is found and hidden.
    ASSERT_TRUE(WaitUntil([&] { return !RecordOf(one).starts.empty() && !RecordOf(two).starts.empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"One", "hidden") && InHistory(L"Two", "hidden"); }));
    // Minimised, the stranger's window would be hidden if either program held it. A pass runs every
    // second: three seconds leave room for a slow one.
    Minimise(strangers);
    EXPECT_TRUE(HoldsFor([&] { return IsWindowVisible(strangers) != FALSE; }, 3));

    // One's window closed: only one.exe is started again, and Two keeps its own window.
    std::size_t const oneStarts = RecordOf(one).starts.size();
    std::size_t const twoStarts = RecordOf(two).starts.size();
    HWND const ones = WindowOfImage(caption, L"ONE.EXE");
    ASSERT_NE(ones, nullptr);
    Close(ones);
    ASSERT_TRUE(WaitUntil([&] { return RecordOf(one).starts.size() == oneStarts + 1; }));
    EXPECT_TRUE(HoldsFor([&] { return RecordOf(two).starts.size() == twoStarts; }, 2));
    EXPECT_TRUE(IsWindowVisible(strangers));
}

}  // namespace
}  // namespace vigilon::e2e
