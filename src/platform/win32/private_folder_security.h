#pragma once

#include <windows.h>

namespace vigilon {

// A security descriptor for a folder that only the user this process runs as, the system and the
// administrators may open, with full control that files and folders inside inherit. Its list is
// protected: nothing is inherited from the parent folder, whose permissions may let every user read.
class PrivateFolderSecurity {
public:
    PrivateFolderSecurity();
    PrivateFolderSecurity(PrivateFolderSecurity const&) = delete;
    PrivateFolderSecurity& operator=(PrivateFolderSecurity const&) = delete;
    ~PrivateFolderSecurity();

    // False when the user could not be read from the process's token.
    explicit operator bool() const { return descriptor_ != nullptr; }
    PSECURITY_DESCRIPTOR Descriptor() const { return descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;  // from LocalAlloc, by ConvertStringSecurityDescriptorToSecurityDescriptorW
};

}  // namespace vigilon
