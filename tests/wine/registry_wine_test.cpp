#include <windows.h>

#include <gtest/gtest.h>

#include "app/key_value.h"
#include "platform/win32/win32_registry.h"
#include "wine_test_support.h"

namespace vigilon::testing {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\VigilonTests";

std::wstring ReadValue(std::wstring const& name, bool expectOk = true) {
    Win32Registry registry;
    std::wstring text = L"unchanged";
    EXPECT_EQ(GetKeyValue(registry, RegistryRoot::CurrentUser, kTestKey, name, text), expectOk) << "value";
    return text;
}

TEST(RegistryOnWindows, NumbersReadAsSignedDecimal) {
    DWORD const values[] = {256, 0x0A, 0xFFFFFFFF};
    ScopedRegistryValue a(HKEY_CURRENT_USER, kTestKey, L"A", REG_DWORD, &values[0], sizeof(DWORD));
    ScopedRegistryValue b(HKEY_CURRENT_USER, kTestKey, L"B", REG_DWORD, &values[1], sizeof(DWORD));
    ScopedRegistryValue c(HKEY_CURRENT_USER, kTestKey, L"C", REG_DWORD, &values[2], sizeof(DWORD));
    EXPECT_EQ(ReadValue(L"A"), L"256");
    EXPECT_EQ(ReadValue(L"B"), L"10");
    EXPECT_EQ(ReadValue(L"C"), L"-1");
}

TEST(RegistryOnWindows, ExpandableStringIsReadWithTheTextUnchanged) {
    std::wstring const text = L"%SystemRoot%\\x";
    ScopedRegistryValue v(HKEY_CURRENT_USER, kTestKey, L"Expand", REG_EXPAND_SZ, text.c_str(),
                          StringBytes(text));
    EXPECT_EQ(ReadValue(L"Expand"), L"unchanged");
}

TEST(RegistryOnWindows, StringsWithAndWithoutTheirFinalZero) {
    std::wstring const text = L"PATH";
    ScopedRegistryValue full(HKEY_CURRENT_USER, kTestKey, L"Full", REG_SZ, text.c_str(), StringBytes(text));
    ScopedRegistryValue bare(HKEY_CURRENT_USER, kTestKey, L"Bare", REG_SZ, text.c_str(),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadValue(L"Full"), L"PATH");
    EXPECT_EQ(ReadValue(L"Bare"), L"PATH");
}

TEST(RegistryOnWindows, TextUpTo1023CharactersIsReadAndLongerOrMissingValuesFail) {
    std::wstring const longest(1023, L'a');
    std::wstring const tooLong(1024, L'b');
    ScopedRegistryValue fits(HKEY_CURRENT_USER, kTestKey, L"Fits", REG_SZ, longest.c_str(), StringBytes(longest));
    ScopedRegistryValue big(HKEY_CURRENT_USER, kTestKey, L"Big", REG_SZ, tooLong.c_str(), StringBytes(tooLong));
    EXPECT_EQ(ReadValue(L"Fits"), longest);
    EXPECT_EQ(ReadValue(L"Big", false), L"");
    EXPECT_EQ(ReadValue(L"Missing", false), L"");
}

}  // namespace
}  // namespace vigilon::testing
