#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

// The folder's permissions as the system reads them back: whether they are protected from
// inheritance, and the SID string of each entry with the rights it allows.
struct FolderPermissions {
    bool read = false;
    bool protectedList = false;
    std::vector<std::pair<std::wstring, ACCESS_MASK>> allowed;
};

FolderPermissions ReadPermissions(std::wstring const& path) {
    FolderPermissions permissions;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return permissions;
    }
    permissions.read = list != nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    permissions.protectedList = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; list != nullptr && i < list->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(list, i, &entry) || static_cast<ACE_HEADER*>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        wchar_t* sid = nullptr;
        if (ConvertSidToStringSidW(&allowed->SidStart, &sid)) {
            permissions.allowed.emplace_back(sid, allowed->Mask);
            LocalFree(sid);
        }
    }
    LocalFree(descriptor);
    return permissions;
}

std::wstring CurrentUserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    std::vector<BYTE> buffer(256);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
    CloseHandle(token);
    wchar_t* text = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text);
    std::wstring sid = text != nullptr ? text : L"";
    LocalFree(text);
    return sid;
}

TEST(PrivateFolderOnWindows, IsForTheUserTheSystemAndTheAdministratorsAloneAndAnExistingOneIsLeftAsItIs) {
    TempFolder base;
    Win32FileSystem files;
    std::wstring const made = base / L"screenshots";
    ASSERT_TRUE(files.CreatePrivateFolder(made));
    FolderPermissions const permissions = ReadPermissions(made);
    ASSERT_TRUE(permissions.read);
    std::wstring const user = CurrentUserSid();
    std::vector<std::wstring> const allowed{user, L"S-1-5-18", L"S-1-5-32-544"};  // the user, SYSTEM, Administrators
    bool userHasAll = false;
    for (auto const& [sid, mask] : permissions.allowed) {
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), sid), allowed.end())
            << "also allowed to " << std::string(sid.begin(), sid.end());
        userHasAll = userHasAll || (sid == user && (mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS);
    }
    EXPECT_TRUE(userHasAll);
    // Windows keeps the list as given, protected from the parent's entries; Wine keeps only the
    // folder's Unix mode, from which it makes the list it reads back (without Administrators).
    bool const keptAsGiven = permissions.allowed.size() == allowed.size();
    if (keptAsGiven) EXPECT_TRUE(permissions.protectedList);

    // One made before, with the permissions its parent gives, keeps them.
    std::wstring const existing = base / L"existing";
    ASSERT_TRUE(CreateDirectoryW(existing.c_str(), nullptr));
    FolderPermissions const before = ReadPermissions(existing);
    EXPECT_TRUE(files.CreatePrivateFolder(existing));
    FolderPermissions const after = ReadPermissions(existing);
    EXPECT_EQ(after.protectedList, before.protectedList);
    EXPECT_EQ(after.allowed, before.allowed);
    EXPECT_FALSE(files.CreatePrivateFolder(base / L"missing\\screenshots"));  // its parent must exist
}

}  // namespace
}  // namespace vigilon::testing
