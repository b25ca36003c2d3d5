#include "ui/input_box.h"

#include "ui/base_dialog.h"
#include "ui/dialog_controls.h"
#include "ui/res/resource_ids.h"

namespace vigilon {
namespace {

class InputBoxDialog final : public BaseDialog<InputBoxDialog> {
public:
    InputBoxDialog(std::wstring const& prompt, std::wstring const& title) : prompt_(prompt), title_(title) {}

    std::wstring Show(HWND owner, HINSTANCE instance) {
        return ShowModal(owner, instance, IDD_INPUT_BOX) == IDOK ? answer_ : std::wstring();
    }
    INT_PTR OnInitDialog() {
        SetWindowTextW(dialog_, title_.c_str());
        SetDlgItemTextW(dialog_, IDC_INPUT_PROMPT, prompt_.c_str());
        return TRUE;  // the first control with a tab stop, the text box, gets the focus
    }
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_COMMAND || LOWORD(wParam) != IDOK) return FALSE;
        answer_ = WindowText(GetDlgItem(dialog_, IDC_INPUT_TEXT));
        EndDialog(dialog_, IDOK);
        return TRUE;
    }

private:
    std::wstring const& prompt_;
    std::wstring const& title_;
    std::wstring answer_;
};

}  // namespace

std::wstring InputBox(HWND owner, HINSTANCE instance, std::wstring const& prompt, std::wstring const& title) {
    return InputBoxDialog(prompt, title).Show(owner, instance);
}

}  // namespace vigilon
