#include "ui/status_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>

#include "platform/win32/dpi.h"
#include "support/application_title.h"
#include "ui/remote_answers.h"
#include "ui/res/resource_ids.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

UINT_PTR const kRefreshTimerId = 1;
UINT const kRefreshMilliseconds = 500;  // a few updates a second at most
DWORD const kStyle = WS_OVERLAPPEDWINDOW;
int const kListId = 100;

// Widths at 96 dots per inch, in the columns' order.
constexpr std::array<int, kStatusColumns> kColumnWidths = {150, 150, 70, 80, 55, 170};
int const kClientWidth = 700;
int const kClientHeight = 300;
int const kHeadlineHeight = 22;  // the line above the list, with its margins
int const kHeadlineMargin = 6;
int const kProblemsLineHeight = 22;  // the line under the list, at 96 dots per inch

enum RowCommand : UINT { kRestartRow = 1, kShowRow = 2, kHideRow = 3 };

}  // namespace

void StatusWindow::Show(HINSTANCE instance) {
    if (window_ == nullptr && !Create(instance)) return;
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

bool StatusWindow::Create(HINSTANCE instance) {
    if (!RegisterWindowClass(instance, kClassName, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                             LoadIconW(instance, MAKEINTRESOURCEW(IDI_VIGILON)))) {
        return false;
    }
    return CreateWindowExW(0, kClassName, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, kClientWidth, kClientHeight,
                           nullptr, nullptr, instance, this) != nullptr;
}

void StatusWindow::OnCreate() {
    auto const instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    auto const line = [&] {
        return CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, 0, 0, 0, window_,
                               nullptr, instance, nullptr);
    };
    headline_ = line();
    problems_ = line();
    std::vector<std::wstring> const headings = StatusHeadings();
    for (int i = 0; i < kStatusColumns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(headings[static_cast<std::size_t>(i)].c_str());
        column.cx = kColumnWidths[static_cast<std::size_t>(i)];
        column.iSubItem = i;
        ListView_InsertColumn(list_, i, &column);
    }
    dpi_ = kDefaultDpi;
    ApplyDpi(WindowDpi(window_));
    RECT frame{0, 0, MulDiv(kClientWidth, static_cast<int>(dpi_), kDefaultDpi),
               MulDiv(kClientHeight, static_cast<int>(dpi_), kDefaultDpi)};
    AdjustFrameForDpi(frame, kStyle, false, 0, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Refresh();
    SetTimer(window_, kRefreshTimerId, kRefreshMilliseconds, nullptr);
}

void StatusWindow::ApplyDpi(UINT dpi) {
    // The columns keep the widths the user gave them, scaled to the new DPI.
    for (int i = 0; i < kStatusColumns; ++i) {
        int const width = ListView_GetColumnWidth(list_, i);
        ListView_SetColumnWidth(list_, i, MulDiv(width, static_cast<int>(dpi), static_cast<int>(dpi_)));
    }
    dpi_ = dpi;
    font_.Reset(CreateDialogFont(dpi));
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    SendMessageW(headline_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    SendMessageW(problems_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    LayOut();
}

void StatusWindow::LayOut() {
    RECT client{};
    GetClientRect(window_, &client);
    int const top = headlineText_.empty() ? 0 : MulDiv(kHeadlineHeight, static_cast<int>(dpi_), kDefaultDpi);
    int const margin = MulDiv(kHeadlineMargin, static_cast<int>(dpi_), kDefaultDpi);
    MoveWindow(headline_, margin, 0, std::max(0L, client.right - 2 * margin), top, TRUE);
    ShowWindow(headline_, headlineText_.empty() ? SW_HIDE : SW_SHOWNA);
    // The line naming the settings file's problems, under the list, only while there are some.
    int const bottom = problemsText_.empty() ? 0 : MulDiv(kProblemsLineHeight, static_cast<int>(dpi_), kDefaultDpi);
    MoveWindow(problems_, margin, client.bottom - bottom, std::max(0L, client.right - 2 * margin), bottom, TRUE);
    ShowWindow(problems_, problemsText_.empty() ? SW_HIDE : SW_SHOWNA);
    MoveWindow(list_, 0, top, client.right, std::max(0L, client.bottom - top - bottom), TRUE);
}

void StatusWindow::Refresh() {
    std::wstring const headline(WatchingHeadline(engine_.WatchingNow()));
    if (headline != headlineText_) {
        headlineText_ = headline;
        SetWindowTextW(headline_, headlineText_.c_str());
        LayOut();
    }
    std::size_t const problems = engine_.SettingsProblems().size();
    std::wstring const line = problems == 0 ? std::wstring()
                                            : ProblemCount(problems, engine_.SettingsFileName()) +
                                                  L": the history's settings lines name them, and vigilon.exe /validate checks the file.";
    if (line != problemsText_) {
        problemsText_ = line;
        SetWindowTextW(problems_, problemsText_.c_str());
        LayOut();
    }
    std::vector<ProgramStatus> rows = engine_.StatusOnScreen();
    if (rows == rows_) return;
    std::wstring const selected = SelectedName();
    rows_ = std::move(rows);
    cells_.clear();
    for (ProgramStatus const& row : rows_) cells_.push_back(StatusCells(row));
    ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    Select(selected);
    InvalidateRect(list_, nullptr, FALSE);
}

std::wstring StatusWindow::SelectedName() const {
    int const row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].name : L"";
}

void StatusWindow::Select(std::wstring const& name) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (name.empty()) return;
    auto const it = std::find_if(rows_.begin(), rows_.end(), [&](ProgramStatus const& row) { return row.name == name; });
    if (it == rows_.end()) return;
    int const row = static_cast<int>(it - rows_.begin());
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void StatusWindow::OnGetDisplayInfo(NMLVDISPINFOW& info) {
    if ((info.item.mask & LVIF_TEXT) == 0) return;
    auto const row = static_cast<std::size_t>(info.item.iItem);
    auto const column = static_cast<std::size_t>(info.item.iSubItem);
    if (row >= cells_.size() || column >= cells_[row].size() || info.item.cchTextMax <= 0) return;
    std::wstring const& text = cells_[row][column];
    std::size_t const n = std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
    std::copy_n(text.begin(), n, info.item.pszText);
    info.item.pszText[n] = L'\0';
}

void StatusWindow::ShowRowMenu(int row, POINT at) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    std::wstring const name = rows_[static_cast<std::size_t>(row)].name;
    UniqueMenu const menu(CreatePopupMenu());
    AppendMenuW(menu.Get(), MF_STRING, kRestartRow, L"&Restart");
    // A program without a window has nothing to show or hide.
    UINT const windowItem = MF_STRING | (rows_[static_cast<std::size_t>(row)].windowless ? MF_GRAYED : 0u);
    AppendMenuW(menu.Get(), windowItem, kShowRow, L"&Show");
    AppendMenuW(menu.Get(), windowItem, kHideRow, L"&Hide");
    UINT const chosen = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                         at.x, at.y, 0, window_, nullptr));
    switch (chosen) {
    case kRestartRow: {
        // Only a script hears why a restart was refused; here the user is told in a box.
        WatchEngine::RestartAnswer const answer = engine_.RestartProgram(name);
        if (answer != WatchEngine::RestartAnswer::Restarting) {
            MessageBoxW(window_, RestartAnswerOf(name, answer).text.c_str(), kApplicationTitle,
                        MB_OK | MB_ICONEXCLAMATION);
        }
        break;
    }
    case kShowRow: engine_.ShowProgram(name, true); break;
    case kHideRow: engine_.ShowProgram(name, false); break;
    default: return;
    }
    Refresh();
}

LRESULT StatusWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: LayOut(); return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimerId) Refresh();
        return 0;
    case WM_NOTIFY: {
        auto const* header = reinterpret_cast<NMHDR const*>(lParam);
        if (header->hwndFrom != list_) break;
        if (header->code == LVN_GETDISPINFOW) OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return 0;
    }
    case WM_CONTEXTMENU: {
        // The title bar keeps its system menu.
        if (reinterpret_cast<HWND>(wParam) != list_) break;
        // From the mouse, the row under it; from the keyboard (Shift+F10, the menu key), the
        // selected one, with the menu below it.
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        if (lParam == -1) {
            RECT item{};
            ListView_GetItemRect(list_, row, &item, LVIR_LABEL);
            at = {item.left, item.bottom};
            ClientToScreen(list_, &at);
        } else {
            LVHITTESTINFO hit{};
            hit.pt = at;
            ScreenToClient(list_, &hit.pt);
            row = ListView_HitTest(list_, &hit);
            if (row >= 0) ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        ShowRowMenu(row, at);
        return 0;
    }
    case WM_SETFOCUS: SetFocus(list_); return 0;
    case WM_DPICHANGED:
        MoveToSuggestedRect(window_, lParam);
        ApplyDpi(HIWORD(wParam));
        return 0;
    case WM_CLOSE: DestroyWindow(window_); return 0;
    case WM_DESTROY:
        KillTimer(window_, kRefreshTimerId);
        list_ = nullptr;
        headline_ = nullptr;
        headlineText_.clear();
        problems_ = nullptr;
        problemsText_.clear();
        rows_.clear();
        cells_.clear();
        return 0;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vigilon
