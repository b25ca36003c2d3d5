// The editor at 144 dots per inch, the DPI Wine takes from the registry when a program starts.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "e2e_fixture.h"
#include "ui/layout_table.h"
#include "ui/res/resource_ids.h"

namespace vigilon::e2e {
namespace {

constexpr DWORD kHighDpi = 144;
constexpr COLORREF kLogoBackground = RGB(192, 192, 192);

int Scaled(int twips) { return MulDiv(twips, static_cast<int>(kHighDpi), 1440); }

// The width and height of the box around the pixels of `bitmap` that are not `background`.
SIZE ExtentApartFrom(HBITMAP bitmap, COLORREF background) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight));
    HDC const screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DWORD const other = (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (LONG y = 0; y < info.bmHeight; ++y) {
        for (LONG x = 0; x < info.bmWidth; ++x) {
            if ((pixels[static_cast<std::size_t>(y * info.bmWidth + x)] & 0xFFFFFF) == other) continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
        }
    }
    return box.right < box.left ? SIZE{0, 0} : SIZE{box.right - box.left, box.bottom - box.top};
}

// The artwork of the logo in vigilon.exe's resources, at its own size.
SIZE ArtworkExtent(std::wstring const& exe) {
    HMODULE const module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    auto const logo = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    SIZE const extent = logo != nullptr ? ExtentApartFrom(logo, kLogoBackground) : SIZE{0, 0};
    DeleteObject(logo);
    FreeLibrary(module);
    return extent;
}

// The artwork as the screen shows it in `window`.
SIZE DrawnExtent(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    int const width = area.right - area.left;
    int const height = area.bottom - area.top;
    HDC const screen = GetDC(nullptr);
    HDC const memory = CreateCompatibleDC(screen);
    HBITMAP const copy = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ const previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    SIZE const extent = ExtentApartFrom(copy, GetSysColor(COLOR_BTNFACE));
    DeleteObject(copy);
    return extent;
}

TEST_F(VigilonTest, At144DotsPerInchTheEditorFollowsItsLayoutTableAndScalesItsLogo) {
    {
        testing::ScopedRegistryValue const dpi(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &kHighDpi,
                                      sizeof(kHighDpi));
        WriteIni({});
        StartVigilon(L"configure");
    }
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
    // Measured in the editor's own pixels: the system does not scale them for this thread.
    DPI_AWARENESS_CONTEXT const awareness = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    RECT client{};
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, Scaled(kEditorWidth));
    EXPECT_EQ(client.bottom, Scaled(kEditorHeight));
    HWND const frame = GetDlgItem(main_, kIdFrame);
    for (ControlPlacement const& placement : EditorLayout()) {
        HWND const parent = placement.container == Container::Frame ? frame : main_;
        RECT r{};
        GetWindowRect(GetDlgItem(parent, placement.id), &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        RECT const expected{Scaled(placement.left), Scaled(placement.top), Scaled(placement.left) + Scaled(placement.width),
                            Scaled(placement.top) + Scaled(placement.height)};
        EXPECT_TRUE(EqualRect(&r, &expected) != FALSE) << "control " << placement.id << ": " << r.left << ","
                                                       << r.top << "," << r.right << "," << r.bottom;
    }

    SIZE const artwork = ArtworkExtent(exe_);
    ASSERT_GT(artwork.cx, 0);
    SIZE drawn{};
    auto const scaledLikeTheDpi = [&](LONG size, LONG own) {
        return std::abs(size - MulDiv(own, static_cast<int>(kHighDpi), 96)) <= 2;
    };
    EXPECT_TRUE(WaitUntil([&] {
        drawn = DrawnExtent(GetDlgItem(main_, kIdImage));
        return scaledLikeTheDpi(drawn.cx, artwork.cx) && scaledLikeTheDpi(drawn.cy, artwork.cy);
    }, 5)) << "drawn " << drawn.cx << " x " << drawn.cy << ", artwork " << artwork.cx << " x " << artwork.cy;
    SetThreadDpiAwarenessContext(awareness);
}

}  // namespace
}  // namespace vigilon::e2e
