#pragma once

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_services.h"

namespace vigilon {

// The real system, one object per service.
struct Win32Platform {
    Win32ProfileStore profile;
    Win32Registry registry;
    Win32Desktop desktop;
    Win32FileSystem files;
    Win32SystemServices system;
};

}  // namespace vigilon
