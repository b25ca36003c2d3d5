#include "controls/lumo_frame_model.h"

#include <cmath>

#include "support/blanks.h"

namespace vigilon {

LumoFrameModel::LumoFrameModel(FrameSurface& surface) : surface_(surface) {
    // A new panel starts with the grey border colour, set as any change is.
    SetForeColour(kDefaultForeColour);
}

std::wstring LumoFrameModel::Caption() const { return std::wstring(TrimBlanks(labelText_)); }

void LumoFrameModel::SetCaption(std::wstring_view caption) {
    labelText_ = L" " + std::wstring(TrimBlanks(caption)) + L" ";
    surface_.SetLabelText(labelText_);
    surface_.PropertyChanged(L"Caption");
}

void LumoFrameModel::SetForeColour(Colour colour) {
    foreColour_ = colour;
    surface_.Redraw();
    surface_.PropertyChanged(L"ForeColor");
}

void LumoFrameModel::SetBackColour(Colour colour) {
    backColour_ = colour;
    surface_.SetBackColour(colour);
    surface_.SetLabelBackColour(colour);
    surface_.Redraw();
    surface_.PropertyChanged(L"BackColor");
}

void LumoFrameModel::SetFontName(std::wstring const& name) {
    fontName_ = name;
    surface_.SetLabelFont(fontName_, fontSize_);
    surface_.PropertyChanged(L"FontName");
}

void LumoFrameModel::SetFontSize(float size) {
    fontSize_ = size;
    surface_.SetLabelFont(fontName_, fontSize_);
    surface_.PropertyChanged(L"FontSize");
}

void LumoFrameModel::SetBorderStyle(std::int32_t style) {
    borderStyle_ = style;
    surface_.SetLabelVisible(style != 0);
    surface_.Redraw();
    surface_.PropertyChanged(L"BorderStyle");
}

void LumoFrameModel::SetEnabled(bool enabled) {
    enabled_ = enabled;
    surface_.SetEnabled(enabled);
    surface_.PropertyChanged(L"Enabled");
}

std::optional<FrameBorder> LumoFrameModel::Border(int labelHeight, float scaleWidth, float scaleHeight) const {
    if (borderStyle_ == 0) return std::nullopt;
    // Rounded to the nearest integer, halves to even; the border's top edge runs through the
    // middle of the caption's first third.
    FrameBorder border;
    border.top = static_cast<int>(std::nearbyint(labelHeight / 3.0));
    border.right = static_cast<int>(std::nearbyint(scaleWidth));
    border.bottom = static_cast<int>(std::nearbyint(scaleHeight));
    return border;
}

void LumoFrameModel::LoadFromBag(PropertyBag const& bag, FrameParent const& parent) {
    SetCaption(BagAs<std::wstring>(bag.Read(L"Caption", std::wstring(L"Frame1")), L"Frame1"));
    SetForeColour(static_cast<Colour>(
        BagAs<std::int32_t>(bag.Read(L"ForeColor", std::int32_t{kDefaultForeColour}), kDefaultForeColour)));
    auto const parentBack = static_cast<std::int32_t>(parent.backColour);
    SetBackColour(static_cast<Colour>(BagAs<std::int32_t>(bag.Read(L"BackColor", parentBack), parentBack)));
    SetBorderStyle(BagAs<std::int32_t>(bag.Read(L"BorderStyle", std::int32_t{1}), 1));
    SetEnabled(BagAs<bool>(bag.Read(L"Enabled", true), true));
    SetFontName(BagAs<std::wstring>(bag.Read(L"FontName", parent.fontName), parent.fontName));
    SetFontSize(BagAs<float>(bag.Read(L"FontSize", parent.fontSize), parent.fontSize));
}

void LumoFrameModel::SaveToBag(PropertyBag& bag, FrameParent const& parent) const {
    // The caption's default is a value of another type, so the caption is always stored.
    bag.Write(L"Caption", Caption(), true);
    bag.Write(L"ForeColor", static_cast<std::int32_t>(foreColour_), std::int32_t{kDefaultForeColour});
    bag.Write(L"BackColor", static_cast<std::int32_t>(backColour_), static_cast<std::int32_t>(parent.backColour));
    bag.Write(L"BorderStyle", borderStyle_, std::int32_t{1});
    bag.Write(L"Enabled", enabled_, true);
    if (fontName_ != parent.fontName) bag.Write(L"FontName", fontName_, std::wstring());
    if (fontSize_ != parent.fontSize) bag.Write(L"FontSize", fontSize_, 0.0f);
}

}  // namespace vigilon
