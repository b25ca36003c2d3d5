#include "support/system_version.h"

namespace vigilon {
namespace {

OsVersion QueryOrZero(SystemServices& system) {
    OsVersion version;
    if (!system.QueryVersion(version)) version = OsVersion{};
    return version;
}

}  // namespace

bool IsWindows95(SystemServices& system) {
    OsVersion const v = QueryOrZero(system);
    return v.platformId == kVerPlatformWin32Windows && v.major == 4 && v.minor == 0;
}

bool IsWindowsNT(SystemServices& system) {
    return QueryOrZero(system).platformId == kVerPlatformWin32Nt;
}

}  // namespace vigilon
