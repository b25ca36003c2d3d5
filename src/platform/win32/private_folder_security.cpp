#include "platform/win32/private_folder_security.h"

#include <sddl.h>

#include <string>
#include <vector>

#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

// The user this process runs as, as a SID string ("S-1-5-21-..."); empty when it cannot be read.
std::wstring ProcessUserSid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return {};
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* made = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER const*>(buffer.data())->User.Sid, &made)) return {};
    UniqueLocal<wchar_t*> const text(made);
    return text.Get();
}

}  // namespace

UniqueLocal<PSECURITY_DESCRIPTOR> PrivateFolderSecurity() {
    std::wstring const user = ProcessUserSid();
    if (user.empty()) return {};
    // P: protected from inheritance. Full control (FA) for the user, SYSTEM (SY) and the built-in
    // Administrators (BA), inherited by files (OI) and folders (CI) made inside.
    std::wstring const sddl = L"D:P(A;OICI;FA;;;" + user + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &made, nullptr)) return {};
    return UniqueLocal<PSECURITY_DESCRIPTOR>(made);
}

}  // namespace vigilon
