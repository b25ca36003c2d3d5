#include <gtest/gtest.h>

#include "app/key_value.h"
#include "fakes/fake_registry.h"

namespace vigilon {
namespace {

using testing::FakeRegistry;

constexpr auto kRoot = RegistryRoot::CurrentUser;
constexpr wchar_t kKey[] = L"Software\\Test";

class KeyValueTest : public ::testing::Test {
protected:
    std::wstring Read(std::wstring const& name, bool expectOk = true) {
        std::wstring text = L"unchanged";
        EXPECT_EQ(GetKeyValue(registry, kRoot, kKey, name, text), expectOk) << "value " << name.size();
        EXPECT_EQ(registry.openKeys, 0);
        return text;
    }
    FakeRegistry registry;
};

TEST_F(KeyValueTest, StringsComeBackWithOrWithoutTheirTerminator) {
    registry.SetString(kRoot, kKey, L"PATH", L"PATH");
    registry.SetString(kRoot, kKey, L"Bare", L"PATH", kRegSz, false);
    registry.SetString(kRoot, kKey, L"", L"default");
    EXPECT_EQ(Read(L"PATH"), L"PATH");
    EXPECT_EQ(Read(L"Bare"), L"PATH");
    EXPECT_EQ(Read(L""), L"default");
}

TEST_F(KeyValueTest, NumbersAreSignedDecimal) {
    registry.SetDword(kRoot, kKey, L"A", 256);
    registry.SetDword(kRoot, kKey, L"B", 0x0A);
    registry.SetDword(kRoot, kKey, L"C", 0xFFFFFFFF);
    registry.SetBytes(kRoot, kKey, L"Short", kRegDword, {0x01, 0x01});
    EXPECT_EQ(Read(L"A"), L"256");
    EXPECT_EQ(Read(L"B"), L"10");
    EXPECT_EQ(Read(L"C"), L"-1");
    EXPECT_EQ(Read(L"Short"), L"257");
}

TEST_F(KeyValueTest, OtherTypesAreReadButLeaveTheTextAsItWas) {
    registry.SetString(kRoot, kKey, L"Expand", L"%PATH%", kRegExpandSz);
    registry.SetBytes(kRoot, kKey, L"Binary", kRegBinary, {1, 2, 3});
    EXPECT_EQ(Read(L"Expand"), L"unchanged");
    EXPECT_EQ(Read(L"Binary"), L"unchanged");
}

TEST_F(KeyValueTest, ZeroLengthStringIsEmpty) {
    registry.SetBytes(kRoot, kKey, L"Empty", kRegSz, {});
    EXPECT_EQ(Read(L"Empty"), L"");
}

TEST_F(KeyValueTest, FailuresEmptyTheText) {
    // 1023 characters and a terminator fit, as in 1024 bytes of a single-byte code page.
    registry.SetString(kRoot, kKey, L"Long", std::wstring(1023, L'a'));
    registry.SetString(kRoot, kKey, L"Command", L"\"C:\\Tools\\msinfo32.exe\" " + std::wstring(601, L'x'));
    registry.SetString(kRoot, kKey, L"Big", std::wstring(1024, L'a'));
    EXPECT_EQ(Read(L"Long").size(), 1023u);
    EXPECT_EQ(Read(L"Command").size(), 625u);
    EXPECT_EQ(Read(L"Big", false), L"");
    EXPECT_EQ(Read(L"Missing", false), L"");
    std::wstring text = L"x";
    EXPECT_FALSE(GetKeyValue(registry, kRoot, L"Software\\Absent", L"", text));
    EXPECT_EQ(text, L"");
}

TEST_F(KeyValueTest, ReadsKeysThatRefuseWriteAccess) {
    registry.SetString(kRoot, kKey, L"v", L"readable");
    registry.DenyWriteAccess(kRoot, kKey);
    EXPECT_EQ(Read(L"v"), L"readable");
}

TEST(DecodeKeyValue, OddStringLengthDropsTheHalfCharacter) {
    std::uint8_t const data[] = {'A', 0, 'B', 0, 0};
    std::wstring text;
    EXPECT_TRUE(DecodeKeyValue(kRegSz, data, text));
    EXPECT_EQ(text, L"AB");
}

}  // namespace
}  // namespace vigilon
