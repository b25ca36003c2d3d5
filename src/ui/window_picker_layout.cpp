#include "ui/window_picker_layout.h"

namespace vigilon {
namespace {

using enum ControlKind;
constexpr Container Window = Container::Window;

constexpr ControlPlacement kPicker[] = {
    {kIdPickerFilterLabel, KeyLabel, Window, L"&Find:", 120, 165, 900, 300, 0},
    {kIdPickerFilter, TextBox, Window, L"", 1020, 120, 8460, 345, 1},
    {kIdPickerList, ListView, Window, L"", 120, 600, 9360, 3840, 2},
    {kIdPickerPartLabel, KeyLabel, Window, L"&Look for:", 120, 4665, 1260, 300, 3},
    {kIdPickerPart, DropDown, Window, L"", 1380, 4620, 8100, 345, 4},
    {kIdPickerProcess, CheckBox, Window, L"Only windows of this &program file", 120, 5100, 9360, 345, 5},
    {kIdPickerOk, DefaultButton, Window, L"OK", 6840, 5700, 1260, 375, 6},
    {kIdPickerCancel, Button, Window, L"Cancel", 8220, 5700, 1260, 375, 7},
};

constexpr PickerColumn kColumns[] = {{L"Caption", 4680}, {L"Program", 2160}, {L"Class", 2160}};

}  // namespace

std::span<PickerColumn const> PickerColumns() { return kColumns; }

std::span<ControlPlacement const> WindowPickerLayout() { return kPicker; }

}  // namespace vigilon
