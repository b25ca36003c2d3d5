#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vigilon {

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kErrorSharingViolation = 32;

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
};

}  // namespace vigilon
