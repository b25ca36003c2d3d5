#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/win32/growing_buffer.h"
#include "platform/win32/long_path.h"
#include "platform/win32/private_folder_security.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

struct Win32FileSystem::Replacement {
    std::wstring path;
    std::wstring temporary;
    std::string bytes;
    std::atomic<WriteResult> result{WriteResult::Pending};
    UniqueKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // set once `result` is
};

namespace {

bool WriteFlushed(std::wstring const& path, std::string const& bytes) {
    UniqueKernelHandle const file = OwnFileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
           written == bytes.size() && FlushFileBuffers(file.Get()) != 0;
}

DWORD WINAPI Replace(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Win32FileSystem::Replacement>> const owner(
        static_cast<std::shared_ptr<Win32FileSystem::Replacement>*>(context));
    Win32FileSystem::Replacement& replacement = **owner;
    bool const replaced = WriteFlushed(replacement.temporary, replacement.bytes) &&
                          MoveFileExW(replacement.temporary.c_str(), replacement.path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!replaced) DeleteFileW(replacement.temporary.c_str());  // none is left behind, whatever it holds
    replacement.result.store(replaced ? WriteResult::Written : WriteResult::Failed);
    SetEvent(replacement.done.Get());
    return 0;
}

}  // namespace

Win32FileSystem::Win32FileSystem() = default;

Win32FileSystem::~Win32FileSystem() = default;

FileAttributes Win32FileSystem::QueryFileAttributes(std::wstring_view path) {
    FileAttributes result;
    result.attributes = GetFileAttributesW(std::wstring(path).c_str());
    // Read the error code at once, before any other call can replace it.
    if (result.attributes == INVALID_FILE_ATTRIBUTES) result.lastError = GetLastError();
    return result;
}

bool Win32FileSystem::SetWorkingDirectory(std::wstring_view path) {
    return SetCurrentDirectoryW(std::wstring(path).c_str()) != 0;
}

std::wstring Win32FileSystem::WorkingDirectory() {
    return GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

bool Win32FileSystem::RemoveFile(std::wstring_view path) {
    return DeleteFileW(std::wstring(path).c_str()) != 0;
}

bool Win32FileSystem::AppendToFile(std::wstring_view path, std::string_view bytes) {
    // Opened for appending only, shared with every reader and writer, and closed at once, so a
    // viewer may hold the file open and the file may be renamed between two lines.
    UniqueKernelHandle const file = OwnFileHandle(CreateFileW(std::wstring(path).c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
           written == bytes.size();
}

std::int64_t Win32FileSystem::FileSize(std::wstring_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(std::wstring(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::uint32_t Win32FileSystem::BeginReplaceFile(std::wstring const& path, std::wstring const& temporary,
                                                std::string bytes) {
    auto replacement = std::make_shared<Replacement>();
    replacement->path = path;
    replacement->temporary = temporary;
    replacement->bytes = std::move(bytes);
    return replacements_.Begin(std::move(replacement), Replace, WriteResult::Failed);
}

WriteResult Win32FileSystem::TakeWrite(std::uint32_t ticket) { return replacements_.Take(ticket, WriteResult::Failed); }

WriteResult Win32FileSystem::AwaitWrite(std::uint32_t ticket, std::int32_t milliseconds) {
    std::shared_ptr<Replacement> const replacement = replacements_.Find(ticket);
    if (replacement != nullptr && replacement->done && replacement->result.load() == WriteResult::Pending) {
        WaitForSingleObject(replacement->done.Get(), static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
    }
    return TakeWrite(ticket);
}

bool Win32FileSystem::MoveFileReplacing(std::wstring_view from, std::wstring_view to) {
    return MoveFileExW(std::wstring(from).c_str(), std::wstring(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::wstring Win32FileSystem::LongFullPath(std::wstring_view path) { return LongFullPathOf(path); }

bool Win32FileSystem::CreatePrivateFolder(std::wstring_view path) {
    std::wstring const folder(path);
    DWORD const before = GetFileAttributesW(folder.c_str());
    if (before != INVALID_FILE_ATTRIBUTES) return (before & FILE_ATTRIBUTE_DIRECTORY) != 0;  // left as it is
    UniqueLocal<PSECURITY_DESCRIPTOR> const security = PrivateFolderSecurity();
    // Without its own permissions the folder would take its parent's, which may let every user read it.
    if (!security) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.Get(), FALSE};
    if (CreateDirectoryW(folder.c_str(), &attributes)) return true;
    DWORD const after = GetFileAttributesW(folder.c_str());  // made meanwhile by someone else
    return after != INVALID_FILE_ATTRIBUTES && (after & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<FileEntry> Win32FileSystem::FilesIn(std::wstring_view path, std::wstring_view suffix) {
    std::vector<FileEntry> names;
    std::wstring pattern(path);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L"*";
    WIN32_FIND_DATAW found{};
    HANDLE const first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) return names;
    UniqueSearch const search(first);
    do {
        std::wstring const name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.size() < suffix.size()) continue;
        if (CompareStringOrdinal(name.c_str() + name.size() - suffix.size(), static_cast<int>(suffix.size()),
                                 suffix.data(), static_cast<int>(suffix.size()), TRUE) == CSTR_EQUAL) {
            names.push_back({name, TicksOf(found.ftLastWriteTime)});
        }
    } while (FindNextFileW(search.Get(), &found));
    return names;
}

}  // namespace vigilon
