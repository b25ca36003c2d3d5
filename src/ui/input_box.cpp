#include "ui/input_box.h"

#include "ui/dialog_controls.h"
#include "ui/res/resource_ids.h"

namespace vigilon {
namespace {

struct InputBoxState {
    std::wstring const& prompt;
    std::wstring const& title;
    std::wstring answer;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<InputBoxState*>(lParam);
        SetWindowTextW(dialog, state->title.c_str());
        SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, state->prompt.c_str());
        return TRUE;  // the first control with a tab stop, the text box, gets the focus
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            state->answer = WindowText(GetDlgItem(dialog, IDC_INPUT_TEXT));
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

std::wstring InputBox(HWND owner, HINSTANCE instance, std::wstring const& prompt, std::wstring const& title) {
    InputBoxState state{prompt, title, {}};
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INPUT_BOX), owner, InputBoxProc,
                        reinterpret_cast<LPARAM>(&state)) != IDOK) {
        return {};
    }
    return state.answer;
}

}  // namespace vigilon
