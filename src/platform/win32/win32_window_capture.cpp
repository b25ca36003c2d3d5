#include "platform/win32/win32_window_capture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/private_messages.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

struct Win32WindowCapture::Job {
    HWND window = nullptr;
    std::wstring path;
    bool fromScreen = false;
    HWND notifyWindow = nullptr;
    UINT notifyMessage = 0;
    std::shared_ptr<Drawings> drawings;
    std::atomic<CaptureResult> result{CaptureResult::Pending};
    std::atomic<bool> dropped{false};
};

struct Win32WindowCapture::Drawings {
    std::mutex lock;
    std::set<HWND> windows;
};

namespace {

using Microsoft::WRL::ComPtr;
using Pixels = std::vector<std::uint8_t>;  // 32 bits a pixel, blue first, top row first

// Encodes `pixels` as a PNG file at `path`.
bool EncodePng(std::wstring const& path, UINT width, UINT height, Pixels& pixels) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    UINT const stride = width * 4;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory))) &&
           SUCCEEDED(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA, stride,
                                                     stride * height, pixels.data(), &bitmap)) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->WriteSource(bitmap.Get(), nullptr)) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// Lets `paint` draw into a bitmap of `width` x `height` and copies the result into `pixels`.
bool Paint(int width, int height, std::function<bool(HDC)> const& paint, Pixels& pixels) {
    UniqueScreenDc const screen(GetDC(nullptr));
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
    ScopedSelect const select(memory.Get(), bitmap.Get());
    if (!paint(memory.Get())) return false;
    GdiFlush();
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    std::memcpy(pixels.data(), bits, pixels.size());
    return true;
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

// The window's own drawing, made on a thread that may wait on the window's program for ever: whoever
// waits for it gives up after a while, and its last owner frees it.
struct Drawing {
    HWND window = nullptr;
    int width = 0;
    int height = 0;
    std::shared_ptr<Win32WindowCapture::Drawings> drawings;
    Pixels pixels;  // written before `done` is set
    bool drawn = false;
    UniqueKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI Draw(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Drawing>> const owner(static_cast<std::shared_ptr<Drawing>*>(context));
    Drawing& drawing = **owner;
    drawing.drawn = AnswersAtOnce(drawing.window) &&
                    Paint(drawing.width, drawing.height,
                          [&](HDC dc) {
                              // waits-allowed: the drawing's own thread, awaited kDrawMilliseconds at most
                              return PrintWindow(drawing.window, dc, PW_RENDERFULLCONTENT) != FALSE;
                          },
                          drawing.pixels);
    SetEvent(drawing.done.Get());
    std::lock_guard const guard(drawing.drawings->lock);
    drawing.drawings->windows.erase(drawing.window);
    return 0;
}

// The window's own drawing when it comes within kDrawMilliseconds; false otherwise, and at once
// for a window whose last drawing has not ended.
bool DrawnInTime(HWND window, int width, int height, std::shared_ptr<Win32WindowCapture::Drawings> const& drawings,
                 Pixels& pixels) {
    auto drawing = std::make_shared<Drawing>();
    drawing->window = window;
    drawing->width = width;
    drawing->height = height;
    drawing->drawings = drawings;
    if (!drawing->done) return false;
    {
        std::lock_guard const guard(drawings->lock);
        if (!drawings->windows.insert(window).second) return false;
    }
    auto owner = std::make_unique<std::shared_ptr<Drawing>>(drawing);
    if (!QueueUserWorkItem(Draw, owner.get(), WT_EXECUTELONGFUNCTION)) {
        std::lock_guard const guard(drawings->lock);
        drawings->windows.erase(window);
        return false;
    }
    owner.release();  // the pool thread owns its share now
    if (WaitForSingleObject(drawing->done.Get(), Win32WindowCapture::kDrawMilliseconds) != WAIT_OBJECT_0 ||
        !drawing->drawn) {
        return false;
    }
    pixels = std::move(drawing->pixels);
    return true;
}

bool SavePicture(Win32WindowCapture::Job const& job) {
    HWND const window = job.window;
    RECT frame{};
    // A minimised window has only its icon's small place, off screen: there is nothing to picture.
    if (!IsWindow(window) || IsIconic(window) || !GetWindowRect(window, &frame)) return false;
    // The screen's pixels show a hidden window's place, not the window: only its own drawing will do.
    bool const visible = IsWindowVisible(window) != FALSE;
    int const width = frame.right - frame.left;
    int const height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return false;
    Pixels pixels;
    bool const drawn = !job.fromScreen && DrawnInTime(window, width, height, job.drawings, pixels);
    auto const fromScreen = [&](HDC dc) {
        UniqueScreenDc const screen(GetDC(nullptr));
        return BitBlt(dc, 0, 0, width, height, screen.Get(), frame.left, frame.top, SRCCOPY | CAPTUREBLT) != FALSE;
    };
    if (!drawn && (!visible || !Paint(width, height, fromScreen, pixels))) return false;
    // GDI leaves the fourth byte undefined: every pixel is made opaque.
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0xFF;
    ComScope const com(COINIT_MULTITHREADED);  // for this pool thread, while the picture is encoded
    if (EncodePng(job.path, static_cast<UINT>(width), static_cast<UINT>(height), pixels)) return true;
    DeleteFileW(job.path.c_str());  // no half-written picture is left
    return false;
}

DWORD WINAPI RunCapture(LPVOID context) {
    std::unique_ptr<std::shared_ptr<Win32WindowCapture::Job>> const owner(
        static_cast<std::shared_ptr<Win32WindowCapture::Job>*>(context));
    Win32WindowCapture::Job& job = **owner;
    bool const saved = SavePicture(job);
    job.result.store(saved ? CaptureResult::Saved : CaptureResult::NotSaved);
    // Dropped meanwhile: nobody names the file, so it goes. Drop deletes it when it looks after this.
    if (saved && job.dropped.load()) DeleteFileW(job.path.c_str());
    if (job.notifyWindow != nullptr) PostMessageW(job.notifyWindow, job.notifyMessage, 0, static_cast<LPARAM>(PrivateMessageToken()));
    return 0;
}

}  // namespace

Win32WindowCapture::Win32WindowCapture() : drawings_(std::make_shared<Drawings>()) {}

Win32WindowCapture::~Win32WindowCapture() = default;

std::uint32_t Win32WindowCapture::Begin(WindowHandle window, std::wstring const& path, bool fromScreen) {
    auto job = std::make_shared<Job>();
    job->window = ToHwnd(window);
    job->path = path;
    job->fromScreen = fromScreen;
    job->notifyWindow = notifyWindow_;
    job->notifyMessage = notifyMessage_;
    job->drawings = drawings_;
    return jobs_.Begin(std::move(job), RunCapture, CaptureResult::NotSaved);
}

CaptureResult Win32WindowCapture::Take(std::uint32_t ticket) { return jobs_.Take(ticket, CaptureResult::NotSaved); }

void Win32WindowCapture::Drop(std::uint32_t ticket) {
    std::shared_ptr<Job> const job = jobs_.Find(ticket);
    if (job == nullptr) return;
    jobs_.Forget(ticket);
    job->dropped.store(true);
    // Saved already: its thread may have looked before the drop, so the file goes here.
    if (job->result.load() == CaptureResult::Saved) DeleteFileW(job->path.c_str());
}

}  // namespace vigilon
