#pragma once

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// An item-identifier list from the shell, freed with CoTaskMemFree when the owner goes away.
using ItemIdList = Owned<PIDLIST_ABSOLUTE, ReleaseWith<CoTaskMemFree>>;

}  // namespace vigilon
