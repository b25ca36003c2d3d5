#include "engine/jar_program.h"

#include "support/file_utils.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr std::wstring_view kJarName = L"QUORVAULT";

bool HasJarSwitch(WatchedProgram const& record) {
    return record.prefix.find(L"-jar") != std::wstring::npos;
}

// The last four characters (all of a shorter text) in lower case.
std::wstring Extension(std::wstring const& path) {
    return ToLowerText(std::wstring_view(path).substr(path.size() < 4 ? 0 : path.size() - 4));
}

}  // namespace

bool IsJarProgram(WatchedProgram const& record) {
    return ToUpperText(std::wstring_view(record.caption).substr(0, kJarName.size())) == kJarName ||
           HasJarSwitch(record);
}

bool StartsInJarFolder(WatchedProgram const& record) {
    return ToUpperText(record.caption) == kJarName || HasJarSwitch(record);
}

void CompleteJarPaths(WatchedProgram& record) {
    if (Extension(record.exe) != L".exe") record.exe = AddBackslash(record.exe) + L"javaw.exe";
    if (Extension(record.command) != L".jar") record.command = AddBackslash(record.command) + L"quorvault.jar";
}

}  // namespace vigilon
