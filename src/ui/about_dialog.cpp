#include "ui/about_dialog.h"

#include "ui/about_logic.h"
#include "ui/base_dialog.h"
#include "ui/res/resource_ids.h"
#include "ui/version_info.h"

namespace vigilon {
namespace {

// The dialog, with everything it owns while it is open.
class AboutDialog final : public BaseDialog<AboutDialog> {
public:
    explicit AboutDialog(Platform& platform) : platform_(platform) {}

    INT_PTR OnInitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Places the controls and sizes the font and the logo at `dpi`.
    void LayOut(UINT dpi);

private:
    void PaintRule();

    Platform& platform_;
    UniqueBitmap logo_;
};

void AboutDialog::LayOut(UINT dpi) {
    PlaceControls(AboutLayout(), dpi);
    // The picture box: the logo inside a sunken two-pixel border.
    HWND const icon = GetDlgItem(dialog_, kIdAboutIcon);
    int const scale = static_cast<int>(dpi);
    SetWindowPos(icon, nullptr, 0, 0, MulDiv(74, scale, kDefaultDpi), MulDiv(79, scale, kDefaultDpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    UniqueBitmap logo(LoadLogo(instance_, dpi));
    SendMessageW(icon, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.Get()));
    logo_ = std::move(logo);
    InvalidateRect(dialog_, nullptr, TRUE);  // the engraved rule
}

INT_PTR AboutDialog::OnInitDialog() {
    CreateControls(AboutLayout(), kAboutWidth, kAboutHeight);
    for (ControlPlacement const& placement : AboutLayout()) {
        if (placement.kind == ControlKind::Label) SendLabelToBack(GetDlgItem(dialog_, placement.id));
    }
    HWND const icon = GetDlgItem(dialog_, kIdAboutIcon);
    SetWindowLongPtrW(icon, GWL_EXSTYLE, GetWindowLongPtrW(icon, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    LayOut(dpi_);

    AboutTexts const texts = MakeAboutTexts(ReadApplicationInfo());
    SetWindowTextW(dialog_, texts.caption.c_str());
    SetDlgItemTextW(dialog_, kIdAboutVersion, texts.version.c_str());
    SetDlgItemTextW(dialog_, kIdAboutTitle, texts.title.c_str());
    SetDlgItemTextW(dialog_, kIdAboutDescription, texts.description.c_str());
    SetDlgItemTextW(dialog_, kIdAboutDisclaimer, texts.disclaimer.c_str());
    SendMessageW(dialog_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VIGILON))));
    SetFocus(GetDlgItem(dialog_, kIdAboutOk));
    return FALSE;  // the focus is set already
}

// The engraved rule: a grey line over a white one.
void AboutDialog::PaintRule() {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(dialog_, &paint);
    for (RuleLine const& line : AboutRule()) {
        int const top = TwipsToPixels(line.top, dpi_);
        RECT const r{TwipsToPixels(line.left, dpi_), top, TwipsToPixels(line.right, dpi_),
                     top + MulDiv(line.widthPixels, static_cast<int>(dpi_), kDefaultDpi)};
        UniqueBrush const brush(CreateSolidBrush(line.colour));
        FillRect(dc, &r, brush.Get());
    }
    EndPaint(dialog_, &paint);
}

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_PAINT: PaintRule(); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndDialog(dialog_, IDOK); return TRUE;
        case kIdAboutSysInfo:
            StartSysInfo(platform_.registry, platform_.files, platform_.shell, platform_.system);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void ShowAboutDialog(HWND owner, HINSTANCE instance, Platform& platform) { AboutDialog(platform).ShowModal(owner, instance); }

}  // namespace vigilon
