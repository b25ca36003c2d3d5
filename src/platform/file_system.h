#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vigilon {

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kErrorSharingViolation = 32;

// A file found in a folder, with the time it was last written.
struct FileEntry {
    std::wstring name;          // its name, not its path
    std::uint64_t written = 0;  // the last write, in the system's units (100 ns since 1601 on Windows)
};

enum class WriteResult : std::uint8_t { Pending, Written, Failed };

struct FileAttributes {
    std::uint32_t attributes = kInvalidFileAttributes;
    // The thread's last-error code, read right after a failed query; 0 when the query succeeded.
    std::uint32_t lastError = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The attributes of `path`, or kInvalidFileAttributes with the error code that explains why.
    virtual FileAttributes QueryFileAttributes(std::wstring_view path) = 0;

    // Makes `path` the process's current directory (and drive). False leaves it unchanged.
    virtual bool SetWorkingDirectory(std::wstring_view path) = 0;

    // The process's current directory.
    virtual std::wstring WorkingDirectory() = 0;

    // Deletes a file. False when it could not be deleted.
    virtual bool RemoveFile(std::wstring_view path) = 0;

    // Adds `bytes` at the end of the file, creating it when missing. The file is shared with
    // readers and writers, and the call never waits for a lock. False when it could not be written.
    virtual bool AppendToFile(std::wstring_view path, std::string_view bytes) = 0;

    // The size of the file in bytes, or -1 when it is missing or cannot be read.
    virtual std::int64_t FileSize(std::wstring_view path) = 0;

    // Begins replacing the file `path` with `bytes` on a worker thread, so that a file on a share
    // that has stopped answering holds up no caller: the bytes go to `temporary` beside it, which
    // is flushed to the disk and then renamed over `path` (and removed again when that fails).
    // Returns the write's ticket, never 0.
    virtual std::uint32_t BeginReplaceFile(std::wstring const& path, std::wstring const& temporary, std::string bytes) = 0;
    // The write's result. Once it is Written or Failed the ticket is forgotten; an unknown ticket is
    // Failed.
    virtual WriteResult TakeWrite(std::uint32_t ticket) = 0;
    // Waits at most `milliseconds` for the write to end, then gives its result as TakeWrite does.
    virtual WriteResult AwaitWrite(std::uint32_t ticket, std::int32_t milliseconds) = 0;

    // Renames `from` to `to`, replacing a file of that name. False when it could not.
    virtual bool MoveFileReplacing(std::wstring_view from, std::wstring_view to) = 0;

    // The full path of `path` (taken from the current directory when relative) with every short
    // (8.3) name in it written out long, as far as the file exists; the full path alone otherwise,
    // and always for a path on a share (\\server\...), which is not read.
    virtual std::wstring LongFullPath(std::wstring_view path) = 0;

    // Creates the folder `path` (its parent must exist) for the user Vigilon runs as alone, with the
    // system and the administrators: it inherits nothing from its parent, so other users of the PC
    // cannot read it. A folder that is there already is left as it is. True when it is there now.
    virtual bool CreatePrivateFolder(std::wstring_view path) = 0;

    // The files in the folder `path` whose names end with `suffix` (case ignored); none when it
    // cannot be read.
    virtual std::vector<FileEntry> FilesIn(std::wstring_view path, std::wstring_view suffix) = 0;
};

}  // namespace vigilon
