#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "ui/about_logic.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

std::wstring ToolPath() {
    Win32Registry registry;
    Win32FileSystem files;
    return SystemInfoToolPath(registry, files);
}

TEST(SysInfoOnWindows, PathValueWithAndWithoutItsFinalZero) {
    std::wstring const path = L"C:\\Tools\\msinfo32.exe";
    {
        ScopedRegistryValue full(HKEY_LOCAL_MACHINE, kMsinfoKey, L"PATH", REG_SZ, path.c_str(), StringBytes(path));
        EXPECT_EQ(ToolPath(), path);
    }
    {
        ScopedRegistryValue bare(HKEY_LOCAL_MACHINE, kMsinfoKey, L"PATH", REG_SZ, path.c_str(),
                                 static_cast<DWORD>(path.size() * sizeof(wchar_t)));
        EXPECT_EQ(ToolPath(), path);
    }
}

TEST(SysInfoOnWindows, FallbackFolderCountsOnlyWhenItHoldsTheTool) {
    ScopedRegistryValue noPath(HKEY_LOCAL_MACHINE, kMsinfoKey, L"PATH");
    TempFolder folder;
    ScopedRegistryValue location(HKEY_LOCAL_MACHINE, kLocationKey, L"MSINFO", REG_SZ, folder.Path().c_str(),
                                 StringBytes(folder.Path()));
    EXPECT_EQ(ToolPath(), L"");
    HANDLE const tool = CreateFileW((folder / L"MSINFO32.EXE").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(tool, INVALID_HANDLE_VALUE);
    CloseHandle(tool);
    EXPECT_EQ(ToolPath(), folder / L"MSINFO32.EXE");
}

}  // namespace
}  // namespace vigilon::testing
