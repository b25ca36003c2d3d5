#pragma once

#include <windows.h>

#include <optional>

#include "controls/lumo_frame_model.h"
#include "platform/win32/win32_owners.h"
#include "platform/win32/base_window.h"

namespace vigilon {

// The framed panel as a window: a captioned area with a rounded border whose child controls move
// with it and take no input while it is disabled. Commands and notifications from its children go
// on to the window that holds it.
class LumoFrame final : public BaseWindow<LumoFrame>, public FrameSurface {
public:
    static constexpr wchar_t kClassName[] = L"VigilonLumoFrame";

    LumoFrame() = default;

    // Creates the panel at the given place in pixels; false when it could not be created.
    bool Create(HWND parent, int id, RECT const& bounds, HINSTANCE instance);

    LumoFrameModel& Model() { return *model_; }

    // Clears the surface and draws the border as the model says, into any device context.
    void DrawBorder(HDC dc, int width, int height) const;
    int LabelHeight() const;

    // Recreates the caption font for a new resolution.
    void SetDpi(UINT dpi);

    void SetLabelText(std::wstring const& text) override;
    void SetLabelBackColour(Colour colour) override;
    void SetLabelFont(std::wstring const& name, float size) override;
    void SetLabelVisible(bool visible) override;
    void SetBackColour(Colour colour) override;
    void SetEnabled(bool enabled) override;
    void Redraw() override;
    void PropertyChanged(std::wstring_view) override {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class BaseWindow<LumoFrame>;

    void FitLabel();
    void Paint();

    std::optional<LumoFrameModel> model_;
    HWND label_ = nullptr;
    UniqueFont labelFont_;
    UniqueBrush backBrush_;
    Colour backColour_ = 0;
    UINT dpi_ = 96;
};

}  // namespace vigilon
