#pragma once

#include <cstdint>
#include <span>

#include "ui/layout_table.h"

namespace vigilon {

// New from a Window's client area and controls.
inline constexpr int kPickerWidth = 9600;
inline constexpr int kPickerHeight = 6240;
inline constexpr std::uint16_t kIdPickerOk = 1;      // IDOK
inline constexpr std::uint16_t kIdPickerCancel = 2;  // IDCANCEL
inline constexpr std::uint16_t kIdPickerFilterLabel = 1500;
inline constexpr std::uint16_t kIdPickerFilter = 1501;
inline constexpr std::uint16_t kIdPickerList = 1502;
inline constexpr std::uint16_t kIdPickerPartLabel = 1503;
inline constexpr std::uint16_t kIdPickerPart = 1504;     // the whole caption, or its lasting part
inline constexpr std::uint16_t kIdPickerProcess = 1505;  // only windows of this executable

// The list's columns: caption, program file and class, with their widths in twips.
struct PickerColumn {
    wchar_t const* title;
    int widthTwips;
};
std::span<PickerColumn const> PickerColumns();

// In creation order, which is keyboard order.
std::span<ControlPlacement const> WindowPickerLayout();

}  // namespace vigilon
