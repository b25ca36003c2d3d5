#include "platform/win32/win32_window_capture.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {
namespace {

using Microsoft::WRL::ComPtr;

// The screen's device context, released when the owner goes away.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(ScreenDc const&) = delete;
    ScreenDc& operator=(ScreenDc const&) = delete;
    ~ScreenDc() {
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Encodes `pixels` (32 bits a pixel, blue first, top row first) as a PNG file at `path`.
bool EncodePng(std::wstring const& path, UINT width, UINT height, std::uint8_t* pixels) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    UINT const stride = width * 4;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory))) &&
           SUCCEEDED(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA, stride,
                                                     stride * height, pixels, &bitmap)) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->WriteSource(bitmap.Get(), nullptr)) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// A window asked to draw itself must answer at once: one whose program does not answer a plain
// message within this time may be hung, and PrintWindow would wait on it for as long.
UINT const kAnswerProbeMilliseconds = 200;

bool AnswersAtOnce(HWND window) {
    DWORD_PTR result = 0;
    return !IsHungAppWindow(window) &&
           SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerProbeMilliseconds,
                               &result) != 0;
}

}  // namespace

bool Win32WindowCapture::SavePng(WindowHandle window, std::wstring_view path, bool fromScreen) {
    HWND const hwnd = ToHwnd(window);
    RECT frame{};
    // A minimised window has only its icon's small place, off screen: there is nothing to picture.
    if (!IsWindow(hwnd) || IsIconic(hwnd) || !GetWindowRect(hwnd, &frame)) return false;
    // The screen's pixels show a hidden window's place, not the window: only its own drawing will do.
    bool const visible = IsWindowVisible(hwnd) != FALSE;
    int const width = frame.right - frame.left;
    int const height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return false;
    ScreenDc const screen;
    UniqueMemoryDc const memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as WIC takes it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap const bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || bits == nullptr) return false;
    {
        ScopedSelect const select(memory.Get(), bitmap.Get());
        // PrintWindow sends the window a message and waits for it to draw: never for a hung one.
        bool const drawn = !fromScreen && AnswersAtOnce(hwnd) && PrintWindow(hwnd, memory.Get(), PW_RENDERFULLCONTENT);
        if (!drawn && (!visible || !BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), frame.left, frame.top,
                              SRCCOPY | CAPTUREBLT))) {
            return false;
        }
        GdiFlush();
    }
    // GDI leaves the fourth byte undefined: every pixel is made opaque.
    auto* const pixels = static_cast<std::uint8_t*>(bits);
    std::size_t const count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) pixels[i * 4 + 3] = 0xFF;
    std::wstring const file(path);
    if (EncodePng(file, static_cast<UINT>(width), static_cast<UINT>(height), pixels)) return true;
    DeleteFileW(file.c_str());  // no half-written picture is left
    return false;
}

}  // namespace vigilon
