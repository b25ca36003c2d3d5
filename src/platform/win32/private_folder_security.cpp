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
    UniqueLocal<wchar_t*> text;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER const*>(buffer.data())->User.Sid, text.Receive())) return {};
    return text.Get();
}

}  // namespace

PrivateFolderSecurity::PrivateFolderSecurity() {
    std::wstring const user = ProcessUserSid();
    if (user.empty()) return;
    // P: protected from inheritance. Full control (FA) for the user, SYSTEM (SY) and the built-in
    // Administrators (BA), inherited by files (OI) and folders (CI) made inside.
    std::wstring const sddl = L"D:P(A;OICI;FA;;;" + user + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor_.Receive(),
                                                              nullptr)) {
        descriptor_.Reset();
    }
}

}  // namespace vigilon
