#include "ui/window_picker_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/base_dialog.h"
#include "ui/dialog_controls.h"
#include "ui/window_picker_layout.h"

namespace vigilon {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds = 1000;
constexpr UINT_PTR kFindBoxSubclass = 1;

bool MovesInList(WPARAM key) { return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT; }

// The Find box passes Up, Down, Page Up and Page Down to the list (`list`, the subclass's data),
// so that the user can narrow the list and choose a row in it without leaving the box.
LRESULT CALLBACK FindBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR list) {
    if (message == WM_KEYDOWN && MovesInList(wParam)) {
        SendMessageW(reinterpret_cast<HWND>(list), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, FindBoxProc, id);
    return DefSubclassProc(box, message, wParam, lParam);
}

// The list follows rows_, which it asks for as it draws (LVS_OWNERDATA); the selection is kept by
// window, so that a refresh that reorders the rows keeps the window the user chose.
class WindowPickerDialog final : public BaseDialog<WindowPickerDialog> {
public:
    explicit WindowPickerDialog(WindowSurvey& survey) : survey_(survey) {}

    std::optional<WindowChoice> Show(HWND owner, HINSTANCE instance) {
        if (ShowModal(owner, instance) != IDOK) return std::nullopt;
        return chosen_;
    }
    INT_PTR OnInitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(UINT dpi);

private:
    HWND List() const { return GetDlgItem(dialog_, kIdPickerList); }
    // Surveys the desktop and lists what the filter lets through, keeping the selection's window.
    // `fresh` (the first fill, a new filter) selects the first row when that window is not listed
    // and scrolls the selection into view; the refresh every second leaves the scrolling to the user.
    void Refresh(bool fresh);
    void SelectRow(int index, bool scroll);
    // The list's selection changed to `index` (-1 for none), by the user or a refresh.
    void Selected(int index);
    void ShowCaptionParts(PickerRow const& row, bool keepPart);
    // The box for Process= is greyed and unticked for a window whose program file could not be
    // read: there is no path to match. Otherwise it shows what the user last chose.
    void ShowProcessChoice(bool fileKnown);
    void GiveCellText(NMLVDISPINFOW& info) const;
    // Letters typed in the list: the row they find, as the list's answer.
    void FindTypedRow(NMLVFINDITEMW const& find);
    INT_PTR OnNotify(NMHDR& header);
    void Accept();

    WindowSurvey& survey_;
    std::vector<PickerRow> rows_;
    WindowHandle selected_ = 0;   // the window of the selected row; 0 for none
    std::wstring selectedCaption_;  // its caption as the choices below the list show it
    bool refreshing_ = false;     // selections made by Refresh are not the user's
    bool matchProcess_ = true;    // the user's choice of Process=, for the windows that can have one
    WindowChoice chosen_;
};

INT_PTR WindowPickerDialog::OnInitDialog() {
    CreateControls(WindowPickerLayout(), kPickerWidth, kPickerHeight);
    SetWindowTextW(dialog_, L"New from a Window");
    HWND const list = List();
    // A caption longer than its column is shown whole in a tip over it.
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    SetWindowSubclass(GetDlgItem(dialog_, kIdPickerFilter), FindBoxProc, kFindBoxSubclass, reinterpret_cast<DWORD_PTR>(list));
    int index = 0;
    for (PickerColumn const& column : PickerColumns()) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.pszText = const_cast<wchar_t*>(column.title);
        item.cx = TwipsToPixels(column.widthTwips, dpi_);
        ListView_InsertColumn(list, index++, &item);
    }
    LayOut(dpi_);
    ShowProcessChoice(true);
    Refresh(true);
    SetTimer(dialog_, kRefreshTimer, kRefreshMilliseconds, nullptr);
    SetFocus(list);
    return FALSE;  // the focus is set already
}

void WindowPickerDialog::LayOut(UINT dpi) {
    PlaceControls(WindowPickerLayout(), dpi);
    int index = 0;
    for (PickerColumn const& column : PickerColumns()) {
        ListView_SetColumnWidth(List(), index++, TwipsToPixels(column.widthTwips, dpi));
    }
}

void WindowPickerDialog::Refresh(bool fresh) {
    rows_ = PickerRows(survey_.Survey(), WindowText(GetDlgItem(dialog_, kIdPickerFilter)));
    HWND const list = List();
    refreshing_ = true;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(rows_.size()), LVSICF_NOSCROLL);
    refreshing_ = false;
    auto const kept = std::find_if(rows_.begin(), rows_.end(), [&](PickerRow const& r) { return r.window == selected_; });
    if (selected_ != 0 && kept != rows_.end()) {
        SelectRow(static_cast<int>(kept - rows_.begin()), fresh);
    } else if (fresh && !rows_.empty()) {
        SelectRow(0, true);
    } else {
        Selected(-1);  // the window chosen is gone, or filtered out: nothing is chosen by mistake
    }
    InvalidateRect(list, nullptr, FALSE);
}

void WindowPickerDialog::SelectRow(int index, bool scroll) {
    HWND const list = List();
    refreshing_ = true;
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    refreshing_ = false;
    if (scroll) ListView_EnsureVisible(list, index, FALSE);
    Selected(index);
}

void WindowPickerDialog::Selected(int index) {
    bool const any = index >= 0 && index < static_cast<int>(rows_.size());
    EnableWindow(GetDlgItem(dialog_, kIdPickerOk), any);
    EnableWindow(GetDlgItem(dialog_, kIdPickerPart), any);
    if (!any) {
        selected_ = 0;
        selectedCaption_.clear();
        SendDlgItemMessageW(dialog_, kIdPickerPart, CB_RESETCONTENT, 0, 0);
        return;
    }
    PickerRow const& row = rows_[static_cast<std::size_t>(index)];
    ShowProcessChoice(!row.imagePath.empty());
    bool const sameWindow = row.window == selected_;
    selected_ = row.window;
    // The user's choice of part stays while the same window stays selected.
    if (!sameWindow || row.caption != selectedCaption_) ShowCaptionParts(row, sameWindow);
}

void WindowPickerDialog::ShowCaptionParts(PickerRow const& row, bool keepPart) {
    HWND const parts = GetDlgItem(dialog_, kIdPickerPart);
    auto const previous = SendMessageW(parts, CB_GETCURSEL, 0, 0);
    SendMessageW(parts, CB_RESETCONTENT, 0, 0);
    std::wstring const whole = L"Whole caption: " + row.caption;
    SendMessageW(parts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(whole.c_str()));
    if (std::optional<std::wstring> const lasting = LastingPartOf(row)) {
        std::wstring const text = L"Lasting part, at its end: " + *lasting;
        SendMessageW(parts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    auto const count = SendMessageW(parts, CB_GETCOUNT, 0, 0);
    WPARAM const part = keepPart && previous >= 0 && previous < count
                            ? static_cast<WPARAM>(previous)
                            : static_cast<WPARAM>(DefaultCaptionPart(row) == CaptionPart::Lasting ? 1 : 0);
    SendMessageW(parts, CB_SETCURSEL, part, 0);
    selectedCaption_ = row.caption;
}

void WindowPickerDialog::ShowProcessChoice(bool fileKnown) {
    EnableWindow(GetDlgItem(dialog_, kIdPickerProcess), fileKnown);
    Check(dialog_, kIdPickerProcess, fileKnown && matchProcess_);
}

void WindowPickerDialog::GiveCellText(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    std::wstring text;
    if (item.iItem >= 0 && item.iItem < static_cast<int>(rows_.size())) {
        PickerRow const& row = rows_[static_cast<std::size_t>(item.iItem)];
        text = item.iSubItem == 0 ? row.caption : item.iSubItem == 1 ? row.programFile : row.className;
    }
    std::size_t const n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(text.begin(), n, item.pszText);
    item.pszText[n] = L'\0';
}

void WindowPickerDialog::FindTypedRow(NMLVFINDITEMW const& find) {
    // The list asks with LVFI_PARTIAL as letters are typed (Wine's without LVFI_STRING); a search
    // for a whole text or a row's data is not one the dialog makes, and finds nothing.
    LVFINDINFOW const& info = find.lvfi;
    int found = -1;
    if ((info.flags & LVFI_PARTIAL) != 0 && (info.flags & LVFI_PARAM) == 0 && info.psz != nullptr) {
        found = FindRowByCaption(rows_, info.psz, find.iStart, (info.flags & LVFI_WRAP) != 0);
    }
    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, found);
}

INT_PTR WindowPickerDialog::OnNotify(NMHDR& header) {
    if (header.idFrom != kIdPickerList) return FALSE;
    switch (header.code) {
    case LVN_GETDISPINFOW: GiveCellText(reinterpret_cast<NMLVDISPINFOW&>(header)); return TRUE;
    case LVN_ODFINDITEMW: FindTypedRow(reinterpret_cast<NMLVFINDITEMW const&>(header)); return TRUE;
    case LVN_ITEMCHANGED: {
        auto const& change = reinterpret_cast<NMLISTVIEW const&>(header);
        if (!refreshing_ && (change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_SELECTED) != 0) {
            Selected(change.iItem);
        } else if (!refreshing_ && ListView_GetNextItem(List(), -1, LVNI_SELECTED) < 0) {
            Selected(-1);
        }
        return TRUE;
    }
    case NM_DBLCLK:
        if (reinterpret_cast<NMITEMACTIVATE const&>(header).iItem >= 0) Accept();
        return TRUE;
    default: return FALSE;
    }
}

void WindowPickerDialog::Accept() {
    auto const row = std::find_if(rows_.begin(), rows_.end(), [&](PickerRow const& r) { return r.window == selected_; });
    if (selected_ == 0 || row == rows_.end()) return;  // OK is disabled; Enter must not slip past it
    chosen_.row = *row;
    if (chosen_.row.fileDescription.empty() && !chosen_.row.imagePath.empty()) {
        // Read since the last refresh, the description names the program instead of its file. The
        // survey reads it on a thread of its own, from the first survey on; this one only looks.
        for (SurveyedWindow const& window : survey_.Survey().windows) {
            if (window.window == selected_) chosen_.row.fileDescription = window.fileDescription;
        }
    }
    LRESULT const part = SendDlgItemMessageW(dialog_, kIdPickerPart, CB_GETCURSEL, 0, 0);
    chosen_.part = part == 1 ? CaptionPart::Lasting : CaptionPart::Whole;
    chosen_.matchProcess = !row->imagePath.empty() && Checked(dialog_, kIdPickerProcess);
    EndDialog(dialog_, IDOK);
}

INT_PTR WindowPickerDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh(false);
        return TRUE;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Accept();
            return TRUE;
        }
        if (LOWORD(wParam) == kIdPickerFilter && HIWORD(wParam) == EN_CHANGE) {
            Refresh(true);
            return TRUE;
        }
        if (LOWORD(wParam) == kIdPickerProcess && HIWORD(wParam) == BN_CLICKED) {
            matchProcess_ = Checked(dialog_, kIdPickerProcess);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

std::optional<WindowChoice> ShowWindowPicker(HWND owner, HINSTANCE instance, WindowSurvey& survey) {
    return WindowPickerDialog(survey).Show(owner, instance);
}

}  // namespace vigilon
