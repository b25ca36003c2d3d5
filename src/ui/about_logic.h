#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_services.h"

namespace vigilon {

// The program's identity, as its version record carries it.
struct ApplicationInfo {
    std::wstring title;
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::wstring fileDescription;
    std::wstring comments;
    std::wstring legalNotice;
};

// The texts of the About dialog.
struct AboutTexts {
    std::wstring caption;
    std::wstring version;
    std::wstring title;
    std::wstring description;
    std::wstring disclaimer;
};

AboutTexts MakeAboutTexts(ApplicationInfo const& info);

// The system information tool's path from the registry, or empty when it cannot be found.
std::wstring SystemInfoToolPath(Registry& registry, FileSystem& files);

// Starts the system information tool, or says that it is unavailable.
void StartSysInfo(Registry& registry, FileSystem& files, Shell& shell, SystemServices& system);

}  // namespace vigilon
