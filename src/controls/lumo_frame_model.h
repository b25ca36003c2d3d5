#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controls/property_bag.h"

namespace vigilon {

// Colours are 0x00BBGGRR.
using Colour = std::uint32_t;

// What the framed panel needs of the window that holds it.
struct FrameParent {
    Colour backColour = 0;
    std::wstring fontName;
    float fontSize = 0;
};

// What the framed panel's logic asks of its window: the caption label, the surface and the host.
class FrameSurface {
public:
    virtual ~FrameSurface() = default;
    virtual void SetLabelText(std::wstring const& text) = 0;
    virtual void SetLabelBackColour(Colour colour) = 0;
    virtual void SetLabelFont(std::wstring const& name, float size) = 0;
    virtual void SetLabelVisible(bool visible) = 0;
    virtual void SetBackColour(Colour colour) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Clears the surface and draws the border again.
    virtual void Redraw() = 0;
    // Tells the host that a stored property changed.
    virtual void PropertyChanged(std::wstring_view name) = 0;
};

// The rounded outline: left 0, right and bottom exclusive, corners on a 6 x 6 ellipse.
struct FrameBorder {
    int top = 0;
    int right = 0;
    int bottom = 0;
    static constexpr int kLeft = 0;
    static constexpr int kCorner = 6;
};

// The framed panel's properties and rules, apart from any window.
class LumoFrameModel {
public:
    static constexpr Colour kDefaultForeColour = 0x808080;

    explicit LumoFrameModel(FrameSurface& surface);

    // The caption is shown with one space on each side; reading gives it without them.
    std::wstring Caption() const;
    void SetCaption(std::wstring_view caption);

    Colour ForeColour() const { return foreColour_; }
    void SetForeColour(Colour colour);
    Colour BackColour() const { return backColour_; }
    void SetBackColour(Colour colour);
    std::wstring const& FontName() const { return fontName_; }
    void SetFontName(std::wstring const& name);
    float FontSize() const { return fontSize_; }
    void SetFontSize(float size);
    // 0 draws no border and hides the caption; every other value draws the border.
    std::int32_t BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(std::int32_t style);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The outline for a caption label `labelHeight` pixels high on a surface of the given scale;
    // none when the border style is 0.
    std::optional<FrameBorder> Border(int labelHeight, float scaleWidth, float scaleHeight) const;

    void LoadFromBag(PropertyBag const& bag, FrameParent const& parent);
    void SaveToBag(PropertyBag& bag, FrameParent const& parent) const;

private:
    FrameSurface& surface_;
    std::wstring labelText_ = L"Frame1";
    Colour foreColour_ = 0;
    Colour backColour_ = 0;
    std::wstring fontName_;
    float fontSize_ = 0;
    std::int32_t borderStyle_ = 0;
    bool enabled_ = true;
};

}  // namespace vigilon
