#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vigilon::testing {

// Files and folders by exact path; any other path is missing.
class FakeFileSystem final : public FileSystem {
public:
    // A file written now: each one added is newer than the one before, unless a test gives its time.
    void AddFile(std::wstring const& path) { AddFileWrittenAt(path, ++clock_); }
    void AddFileWrittenAt(std::wstring const& path, std::uint64_t written) {
        entries_[path] = {0x20, 0};
        written_[path] = written;
    }
    void AddFolder(std::wstring const& path) { entries_[path] = {kFileAttributeDirectory, 0}; }
    void AddWithAttributes(std::wstring const& path, std::uint32_t attributes) { entries_[path] = {attributes, 0}; }
    // A path whose attributes cannot be read, failing with `error`.
    void AddUnreadable(std::wstring const& path, std::uint32_t error) {
        entries_[path] = {kInvalidFileAttributes, error};
    }

    std::wstring currentDirectory = L"C:\\";
    std::vector<std::wstring> removed;
    // Files that exist but cannot be deleted.
    std::vector<std::wstring> undeletable;
    std::vector<std::wstring> directoryChanges;

    // A relative path is taken from the current directory, as the system takes it.
    FileAttributes QueryFileAttributes(std::wstring_view path) override {
        bool const absolute = (path.size() >= 2 && path[1] == L':') || (!path.empty() && path[0] == L'\\');
        std::wstring const folder = currentDirectory.ends_with(L'\\') ? currentDirectory : currentDirectory + L'\\';
        auto it = entries_.find(absolute || path.empty() ? std::wstring(path) : folder + std::wstring(path));
        if (it == entries_.end()) return {kInvalidFileAttributes, kErrorFileNotFound};
        return it->second;
    }

    bool SetWorkingDirectory(std::wstring_view path) override {
        auto it = entries_.find(std::wstring(path));
        if (it == entries_.end() || it->second.attributes != kFileAttributeDirectory) return false;
        currentDirectory = path;
        directoryChanges.emplace_back(path);
        return true;
    }

    std::wstring WorkingDirectory() override { return currentDirectory; }

    bool RemoveFile(std::wstring_view path) override {
        std::wstring const name(path);
        if (std::find(undeletable.begin(), undeletable.end(), name) != undeletable.end()) return false;
        // A text file written here is a file too.
        if (entries_.erase(name) + texts.erase(name) == 0) return false;
        removed.push_back(name);
        return true;
    }

    // Text files: appended bytes by path. A path in `unwritable` takes no writes.
    std::map<std::wstring, std::string> texts;
    std::vector<std::wstring> unwritable;

    std::function<void(std::wstring const& path, std::string_view bytes)> onAppend;  // after each write taken

    bool AppendToFile(std::wstring_view path, std::string_view bytes) override {
        std::wstring const name(path);
        if (std::find(unwritable.begin(), unwritable.end(), name) != unwritable.end()) return false;
        texts[name] += bytes;
        if (onAppend) onAppend(name, bytes);
        return true;
    }
    // Replacements, made as a worker would by the time anyone looks; while `writesStall` (a share
    // that does not answer) they stay under way, however long anyone waits.
    bool writesStall = false;
    int replacementsBegun = 0;
    std::uint32_t BeginReplaceFile(std::wstring const& path, std::wstring const& temporary, std::string bytes) override {
        ++replacementsBegun;
        replacements_[++lastReplacement_] = {path, temporary, std::move(bytes)};
        return lastReplacement_;
    }
    WriteResult TakeWrite(std::uint32_t ticket) override {
        auto const it = replacements_.find(ticket);
        if (it == replacements_.end()) return WriteResult::Failed;
        if (writesStall) return WriteResult::Pending;
        Replacement const replacement = std::move(it->second);
        replacements_.erase(it);
        bool const replaced = std::find(unwritable.begin(), unwritable.end(), replacement.temporary) == unwritable.end() &&
                              (texts[replacement.temporary] = replacement.bytes, MoveFileReplacing(replacement.temporary, replacement.path));
        if (!replaced) texts.erase(replacement.temporary);
        return replaced ? WriteResult::Written : WriteResult::Failed;
    }
    WriteResult AwaitWrite(std::uint32_t ticket, std::int32_t) override { return TakeWrite(ticket); }
    // Renames to a path in `unmovable` fail, as onto a file another program holds open.
    std::vector<std::wstring> unmovable;
    std::int64_t FileSize(std::wstring_view path) override {
        auto it = texts.find(std::wstring(path));
        return it == texts.end() ? -1 : static_cast<std::int64_t>(it->second.size());
    }
    bool MoveFileReplacing(std::wstring_view from, std::wstring_view to) override {
        auto it = texts.find(std::wstring(from));
        if (it == texts.end()) return false;
        if (std::find(unmovable.begin(), unmovable.end(), std::wstring(to)) != unmovable.end()) return false;
        texts[std::wstring(to)] = std::move(it->second);
        texts.erase(std::wstring(from));
        return true;
    }

    // Paths as the system writes them out in full, by the path given; any other comes back as given.
    std::map<std::wstring, std::wstring> longPaths;
    int longPathCalls = 0;  // each reads the disk on the system
    std::wstring LongFullPath(std::wstring_view path) override {
        ++longPathCalls;
        auto const it = longPaths.find(std::wstring(path));
        return it == longPaths.end() ? std::wstring(path) : it->second;
    }

    std::vector<std::wstring> uncreatable;     // folders that cannot be created
    std::vector<std::wstring> privateFolders;  // folders made for the user alone, in order
    bool CreatePrivateFolder(std::wstring_view path) override {
        std::wstring const name(path);
        if (std::find(uncreatable.begin(), uncreatable.end(), name) != uncreatable.end()) return false;
        auto const it = entries_.find(name);
        if (it != entries_.end()) return it->second.attributes == kFileAttributeDirectory;
        AddFolder(name);
        privateFolders.push_back(name);
        return true;
    }
    std::vector<FileEntry> FilesIn(std::wstring_view path, std::wstring_view suffix) override {
        std::wstring folder(path);
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
        std::vector<FileEntry> files;
        for (auto const& [entry, attributes] : entries_) {
            if (attributes.attributes == kFileAttributeDirectory || !entry.starts_with(folder)) continue;
            std::wstring const name = entry.substr(folder.size());
            if (name.find(L'\\') == std::wstring::npos && name.ends_with(suffix)) files.push_back({name, written_[entry]});
        }
        return files;
    }

private:
    static constexpr std::uint32_t kErrorFileNotFound = 2;
    struct Replacement {
        std::wstring path, temporary;
        std::string bytes;
    };
    std::map<std::wstring, FileAttributes> entries_;
    std::map<std::wstring, std::uint64_t> written_;
    std::map<std::uint32_t, Replacement> replacements_;
    std::uint32_t lastReplacement_ = 0;
    std::uint64_t clock_ = 0;
};

}  // namespace vigilon::testing
