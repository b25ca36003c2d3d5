#include "engine/missing_file.h"

#include "engine/jar_program.h"
#include "engine/launch_text.h"
#include "support/file_utils.h"

namespace vigilon {
namespace {

// `path` as the system finds it with `folder` current: a relative path is taken from there.
std::wstring InFolder(std::wstring const& folder, std::wstring const& path) {
    bool const absolute = (!path.empty() && (path[0] == L'\\' || path[0] == L'/')) || (path.size() >= 2 && path[1] == L':');
    return absolute || folder.empty() ? path : AddBackslash(folder) + path;
}

}  // namespace

std::wstring MissingExecutableMessage(std::wstring const& exe) { return L"Executable: " + exe + L" is not a valid file."; }

std::wstring MissingJarMessage(std::wstring const& jar) { return L"Quorvault location: " + jar + L" is not a valid file."; }

std::wstring MissingFileOf(WatchedProgram record, FileSystem& files, std::wstring const& programFolder) {
    std::wstring folder = programFolder;
    if (IsJarProgram(record)) {
        CompleteJarPaths(record);
        if (!FileExists(files, record.command)) return MissingJarMessage(record.command);
        if (!DirectoryOf(record.command).empty()) folder = DirectoryOf(record.command);
    }
    return FileExists(files, InFolder(folder, record.exe)) ? std::wstring() : MissingExecutableMessage(record.exe);
}

}  // namespace vigilon
