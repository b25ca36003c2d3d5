#include "ui/about_logic.h"

#include "app/key_value.h"
#include "support/application_title.h"
#include "support/message.h"

namespace vigilon {
namespace {

// An ordinary file: not a folder, not hidden, not a system file.
bool OrdinaryFileExists(FileSystem& files, std::wstring const& path) {
    FileAttributes const result = files.QueryFileAttributes(path);
    constexpr std::uint32_t kNotOrdinary = kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem;
    return result.attributes != kInvalidFileAttributes && (result.attributes & kNotOrdinary) == 0;
}

}  // namespace

AboutTexts MakeAboutTexts(ApplicationInfo const& info) {
    return {L"About " + info.title,
            L"Version " + std::to_wstring(info.major) + L"." + std::to_wstring(info.minor) + L"." +
                std::to_wstring(info.revision),
            info.fileDescription, info.comments, info.legalNotice};
}

std::wstring SystemInfoToolPath(Registry& registry, FileSystem& files) {
    std::wstring path;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH",
                    path)) {
        return path;  // used as it is: a wrong path shows when the start fails
    }
    std::wstring folder;
    if (!GetKeyValue(registry, RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Shared Tools Location",
                     L"MSINFO", folder)) {
        return {};
    }
    std::wstring const candidate = folder + L"\\MSINFO32.EXE";
    return OrdinaryFileExists(files, candidate) ? candidate : std::wstring();
}

void StartSysInfo(Registry& registry, FileSystem& files, Shell& shell, SystemServices& system) {
    std::wstring const path = SystemInfoToolPath(registry, files);
    // Quoted: a path with blanks left bare would be tried word by word (C:\Program.exe first).
    std::wstring const line = !path.empty() && path.front() != L'"' ? L"\"" + path + L"\"" : path;
    if (!line.empty() && shell.StartProgram(line)) return;
    ShowMessage(system, L"System Information Is Unavailable At This Time", kMbOk, kApplicationTitle);
}

}  // namespace vigilon
