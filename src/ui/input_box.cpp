#include "ui/input_box.h"

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
            HWND const text = GetDlgItem(dialog, IDC_INPUT_TEXT);
            std::wstring answer(static_cast<std::size_t>(GetWindowTextLengthW(text)) + 1, L'\0');
            answer.resize(static_cast<std::size_t>(GetWindowTextW(text, answer.data(), static_cast<int>(answer.size()))));
            state->answer = std::move(answer);
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
