#include "support/file_utils.h"

namespace vigilon {

bool FileExists(FileSystem& files, std::wstring_view path) {
    FileAttributes const result = files.QueryFileAttributes(path);
    if (result.attributes == kInvalidFileAttributes) {
        return result.lastError == kErrorSharingViolation;
    }
    return (result.attributes & kFileAttributeDirectory) == 0;
}

std::wstring AddBackslash(std::wstring_view path) {
    std::wstring result(path);
    if (!result.empty() && result.back() != L':' && result.back() != L'\\') result += L'\\';
    return result;
}

void ChangeDirectory(FileSystem& files, std::wstring_view path) {
    // A failure leaves the current directory as it was, which is all the callers need.
    static_cast<void>(files.SetWorkingDirectory(path));
}

}  // namespace vigilon
