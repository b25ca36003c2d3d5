#include "e2e_fixture.h"

#include <filesystem>

namespace vigilon::e2e {
namespace {

// A PNG's width and height from its header (signature, then the IHDR chunk); 0 x 0 when it is none.
std::pair<std::uint32_t, std::uint32_t> PngSize(std::string const& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0) {
        return {0, 0};
    }
    auto number = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {number(16), number(20)};
}

TEST_F(VigilonTest, AHungWindowIsSavedAsAPngOfItsSizeBeforeItIsRestarted) {
    // It answers at first, then stops handling its messages for good.
    std::wstring const hanger = AddHelper(L"hang.exe", Caption(L"Hanger"), L"hang-after-ms=2500");
    WriteIni({{L"Hanger", Caption(L"Hanger"), hanger}});
    std::wstring const ini = Path(L"vigilon.ini");
    WritePrivateProfileStringW(L"Apps", L"HangSeconds", L"5", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Screenshots", L"1", ini.c_str());
    WritePrivateProfileStringW(L"Apps", L"Notices", L"Tray", ini.c_str());
    // Kept on screen: a hidden or minimised window has nothing to picture.
    WritePrivateProfileStringW(L"Hanger", L"Show", L"Normal", ini.c_str());
    StartVigilon();
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(Caption(L"Hanger"))) != nullptr; }));
    // Hung 2.5 s after its start, called hung 5 s later: 40 s leave a wide margin for a busy machine.
    ASSERT_TRUE(WaitUntil([&] { return InHistory(L"Hanger", "close"); }, 40));
    // Its size as it was taken: a hung window changes no more.
    RECT frame{};
    ASSERT_TRUE(GetWindowRect(window, &frame));
    std::filesystem::path picture;
    for (auto const& entry : std::filesystem::directory_iterator(std::filesystem::path(Path(L"screenshots")))) {
        if (entry.path().wstring().ends_with(L" Hanger hung.png")) picture = entry.path();
    }
    ASSERT_FALSE(picture.empty()) << "no screenshot in " << std::string(Path(L"screenshots").begin(), Path(L"screenshots").end());
    auto const [width, height] = PngSize(testing::ReadFileBytes(picture.wstring()));
    EXPECT_EQ(width, static_cast<std::uint32_t>(frame.right - frame.left));
    EXPECT_EQ(height, static_cast<std::uint32_t>(frame.bottom - frame.top));
    // The history's hung line names it, before the close.
    std::string const history = testing::ReadFileBytes(Path(L"vigilon.log"));
    std::wstring const path = picture.wstring();
    EXPECT_NE(history.find(", screenshot " + std::string(path.begin(), path.end())), std::string::npos) << history;
}

TEST_F(VigilonTest, AScriptThatAsksForAPictureGetsItsPathOnceItIsSaved) {
    std::wstring const shown = AddHelper(L"shown.exe", Caption(L"Shown"));
    WriteIni({{L"Shown", Caption(L"Shown"), shown}});
    WritePrivateProfileStringW(L"Shown", L"Show", L"Normal", Path(L"vigilon.ini").c_str());
    StartVigilon();
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(Caption(L"Shown")) != nullptr && InHistory(L"Shown", "found"); }));
    // The picture is taken on a worker, and the answer follows: the command waits for it.
    CommandResult const taken = RunCommand(exe_, L"/screenshot \"shown\"", Path(L"answer.txt"));
    ASSERT_EQ(taken.exitCode, 0) << taken.output;
    std::string const path = taken.output.substr(0, taken.output.find("\r\n"));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(std::wstring(path.begin(), path.end())))) << path;
    EXPECT_NE(path.find(" Shown asked.png"), std::string::npos) << path;
}

}  // namespace
}  // namespace vigilon::e2e
