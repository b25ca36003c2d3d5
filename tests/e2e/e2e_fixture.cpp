#include "e2e_fixture.h"

#include <algorithm>

namespace vigilon::e2e {

std::wstring g_vigilonExe;

namespace {

void CreateFolders(std::wstring const& path) {
    for (std::size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1)) {
        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
}

}  // namespace

VigilonTest::VigilonTest() {
    static int counter = 0;
    tag_ = L"E2E" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    exe_ = folder_ / L"vigilon.exe";
    CopyFileW(g_vigilonExe.c_str(), exe_.c_str(), FALSE);
}

VigilonTest::~VigilonTest() {
    ExitVigilon();
    KillProcessesWithWindows(tag_);
}

std::wstring VigilonTest::AddHelper(std::wstring const& relativePath, std::wstring const& caption,
                                    std::wstring const& options) {
    std::wstring const path = folder_ / relativePath;
    CreateFolders(path);
    CopyFileW((ThisFolder() + L"\\watched_program.exe").c_str(), path.c_str(), FALSE);
    WriteTextFile(path + L".cfg", caption + L"\r\n" + path + L".txt\r\n" + options + L"\r\n");
    return path;
}

bool VigilonTest::HiddenByVigilon(std::wstring const& program) const {
    HWND const window = WindowOf(Caption(program));
    return InHistory(program, "hidden") && window != nullptr && !IsWindowVisible(window);
}

bool VigilonTest::InHistory(std::wstring const& program, std::string const& event) const {
    std::string const name(program.begin(), program.end());  // the tests' names are ASCII
    std::vector<std::string> const events = HistoryEvents(folder_ / L"vigilon.log", name);
    return std::find(events.begin(), events.end(), event) != events.end();
}

void VigilonTest::WriteIni(std::vector<IniProgram> const& programs) {
    std::wstring const ini = folder_ / L"vigilon.ini";
    WritePrivateProfileStringW(L"Apps", L"Number", std::to_wstring(programs.size()).c_str(), ini.c_str());
    for (std::size_t i = 0; i < programs.size(); ++i) {
        IniProgram const& p = programs[i];
        WritePrivateProfileStringW(L"Apps", (L"App" + std::to_wstring(i + 1)).c_str(), p.name.c_str(), ini.c_str());
        WritePrivateProfileStringW(p.name.c_str(), L"Caption", p.caption.c_str(), ini.c_str());
        WritePrivateProfileStringW(p.name.c_str(), L"EXE", p.exe.c_str(), ini.c_str());
        WritePrivateProfileStringW(p.name.c_str(), L"Command", p.command.c_str(), ini.c_str());
        WritePrivateProfileStringW(p.name.c_str(), L"Prefix", p.prefix.c_str(), ini.c_str());
        WritePrivateProfileStringW(p.name.c_str(), L"Postfix", p.postfix.c_str(), ini.c_str());
    }
}

void VigilonTest::StartVigilon(std::wstring const& arguments) {
    ASSERT_TRUE(vigilon_.Start(exe_, arguments, L"C:\\"));
    ASSERT_TRUE(WaitUntil([&] { return (main_ = FindVigilonMainWindow()) != nullptr; }));
}

void VigilonTest::ExitVigilon() {
    if (!vigilon_.Running()) return;
    HWND const main = FindVigilonMainWindow();
    if (main != nullptr) SendMenuCommand(main, kFileExitCommand);
    if (vigilon_.WaitForExit(15) < 0) {
        ADD_FAILURE() << "vigilon.exe did not exit";
        vigilon_.Kill();
    }
}

}  // namespace vigilon::e2e
