#pragma once

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/win32_owners.h"

namespace vigilon {

struct CoTaskMemFreeRelease {
    void operator()(PIDLIST_ABSOLUTE list) const { CoTaskMemFree(list); }
};

// An item-identifier list from the shell, freed with CoTaskMemFree when the owner goes away.
using ItemIdList = Owned<PIDLIST_ABSOLUTE, CoTaskMemFreeRelease>;

}  // namespace vigilon
