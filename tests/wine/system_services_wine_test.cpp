#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_system_services.h"

namespace vigilon::testing {
namespace {

// What %VAR% in a health check's path becomes: the process's own environment, by its name in any case.
TEST(SystemServicesOnWindows, AVariableIsReadByItsNameInAnyCaseAndOneNotSetIsNothing) {
    Win32SystemServices system;
    ASSERT_TRUE(SetEnvironmentVariableW(L"VIGILON_TEST_FOLDER", L"C:\\data\\beat"));
    EXPECT_EQ(system.EnvironmentVariable(L"Vigilon_Test_Folder"), std::optional<std::wstring>(L"C:\\data\\beat"));
    ASSERT_TRUE(SetEnvironmentVariableW(L"VIGILON_TEST_FOLDER", nullptr));
    EXPECT_FALSE(system.EnvironmentVariable(L"VIGILON_TEST_FOLDER"));
}

}  // namespace
}  // namespace vigilon::testing
