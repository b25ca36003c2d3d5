#pragma once

#include <cstdint>
#include <memory>

#include "platform/file_system.h"
#include "platform/win32/pool_jobs.h"

namespace vigilon {

// Replacements run on threads of the system's pool, each writing only its own state, which the
// calling thread reads; one that outlives its ticket (or this object) keeps its state alive
// through its shared owner.
class Win32FileSystem final : public FileSystem {
public:
    // One replacement, shared with the pool thread that makes it.
    struct Replacement;

    Win32FileSystem();
    Win32FileSystem(Win32FileSystem const&) = delete;
    Win32FileSystem& operator=(Win32FileSystem const&) = delete;
    ~Win32FileSystem() override;

    FileAttributes QueryFileAttributes(std::wstring_view path) override;
    bool SetWorkingDirectory(std::wstring_view path) override;
    std::wstring WorkingDirectory() override;
    bool RemoveFile(std::wstring_view path) override;
    bool AppendToFile(std::wstring_view path, std::string_view bytes) override;
    std::int64_t FileSize(std::wstring_view path) override;
    std::uint32_t BeginReplaceFile(std::wstring const& path, std::wstring const& temporary, std::string bytes) override;
    WriteResult TakeWrite(std::uint32_t ticket) override;
    WriteResult AwaitWrite(std::uint32_t ticket, std::int32_t milliseconds) override;
    bool MoveFileReplacing(std::wstring_view from, std::wstring_view to) override;
    std::wstring LongFullPath(std::wstring_view path) override;
    bool CreatePrivateFolder(std::wstring_view path) override;
    std::vector<FileEntry> FilesIn(std::wstring_view path, std::wstring_view suffix) override;

private:
    PoolJobs<Replacement, WriteResult> replacements_;
};

}  // namespace vigilon
