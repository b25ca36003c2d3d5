#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <string>

#include "platform/win32/item_id_list.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// The file-system path of an item, or empty for an item without one.
std::wstring PathOf(ItemIdList const& item) {
    std::array<wchar_t, MAX_PATH> path{};
    if (!SHGetPathFromIDListW(item.Get(), path.data())) return {};
    return std::wstring(path.data());
}

ItemIdList PathToItemIdList(std::wstring const& path) {
    ItemIdList list;
    if (FAILED(SHParseDisplayName(path.c_str(), nullptr, list.Receive(), 0, nullptr))) return {};
    return list;
}

// Selects the initial item once the dialog is up; `data` is that item's list.
int CALLBACK SelectInitialItem(HWND dialog, UINT message, LPARAM, LPARAM data) {
    // waits-allowed: the folder dialog is this thread's own
    if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, data);
    return 0;
}

}  // namespace

ExecuteResult Win32Shell::Execute(WindowHandle owner, std::wstring_view verb, std::wstring_view file,
                                  std::wstring_view parameters, std::wstring_view directory,
                                  std::int32_t showCommand) {
    std::wstring const verbText(verb), fileText(file), parametersText(parameters), directoryText(directory);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The process handle tells which process was started. The shell shows no message of its own
    // ("Bad EXE format for ..." would stop the calling thread until someone answers it): a start it
    // refuses comes back as a failed result, which the caller reports its own way.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = ToHwnd(owner);
    info.lpVerb = verbText.c_str();
    info.lpFile = fileText.c_str();
    info.lpParameters = parametersText.c_str();
    info.lpDirectory = directoryText.c_str();
    info.nShow = showCommand;
    bool const started = ShellExecuteExW(&info) != FALSE;
    UniqueKernelHandle const process(info.hProcess);
    ExecuteResult result;
    // hInstApp holds what ShellExecute would return: above 32 on success, an error code otherwise.
    auto const code = static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(info.hInstApp));
    result.code = started ? std::max(code, 33) : std::min(code, 32);
    if (process) {
        result.processId = GetProcessId(process.Get());
        result.processStarted = StartTimeOf(process.Get());
    }
    return result;
}

std::wstring Win32Shell::SpecialFolderPath(std::int32_t csidl, WindowHandle owner) {
    ItemIdList folder;
    if (FAILED(SHGetSpecialFolderLocation(ToHwnd(owner), csidl, folder.Receive()))) return {};
    return PathOf(folder);
}

std::wstring Win32Shell::BrowseForFolderDialog(WindowHandle owner, std::wstring_view prompt,
                                               std::wstring_view initialPath, bool includeFiles) {
    std::array<wchar_t, MAX_PATH + 1> displayName{};
    std::wstring const title(prompt);
    ItemIdList initial;
    BROWSEINFOW info{};
    info.hwndOwner = ToHwnd(owner);
    info.pszDisplayName = displayName.data();
    info.lpszTitle = title.c_str();
    info.ulFlags = includeFiles ? BIF_BROWSEINCLUDEFILES : 0;
    if (!initialPath.empty()) {
        initial = PathToItemIdList(std::wstring(initialPath));
        info.lpfn = SelectInitialItem;
        info.lParam = reinterpret_cast<LPARAM>(initial.Get());
    }
    ItemIdList const chosen(SHBrowseForFolderW(&info));
    return chosen ? PathOf(chosen) : std::wstring();
}

bool Win32Shell::StartProgram(std::wstring_view commandLine) {
    if (commandLine.empty()) return false;
    std::wstring line(commandLine);  // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace vigilon
