#pragma once

#include "platform/file_system.h"

namespace vigilon {

class Win32FileSystem final : public FileSystem {
public:
    FileAttributes QueryFileAttributes(std::wstring_view path) override;
    bool SetWorkingDirectory(std::wstring_view path) override;
    std::wstring WorkingDirectory() override;
    bool RemoveFile(std::wstring_view path) override;
    bool AppendToFile(std::wstring_view path, std::string_view bytes) override;
    std::int64_t FileSize(std::wstring_view path) override;
    bool WriteWholeFile(std::wstring_view path, std::string_view bytes) override;
    bool MoveFileReplacing(std::wstring_view from, std::wstring_view to) override;
    std::wstring LongFullPath(std::wstring_view path) override;
    bool CreatePrivateFolder(std::wstring_view path) override;
    std::vector<FileEntry> FilesIn(std::wstring_view path, std::wstring_view suffix) override;
};

}  // namespace vigilon
