#include "ui/about_dialog.h"

#include <vector>

#include "platform/win32/win32_owners.h"
#include "ui/about_logic.h"
#include "platform/win32/dpi.h"
#include "ui/layout_table.h"
#include "ui/res/resource_ids.h"
#include "ui/version_info.h"
#include "ui/win32_layout.h"

namespace vigilon {
namespace {

DWORD const kAboutStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Everything the dialog owns while it is open.
struct AboutState {
    HINSTANCE instance;
    Platform& platform;
    UniqueFont font;
    UniqueBitmap logo;
    UINT dpi = 96;
};

// Places the controls and sizes the font and the logo at state.dpi; again whenever the DPI changes.
void LayOut(HWND dialog, AboutState& state) {
    int const scale = static_cast<int>(state.dpi);
    UniqueFont font(CreatePointFont(L"MS Sans Serif", 8.25f, false, state.dpi));
    for (ControlPlacement const& placement : AboutLayout()) {
        HWND const control = GetDlgItem(dialog, placement.id);
        RECT const r = ScaledBounds(placement, state.dpi);
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    state.font = std::move(font);
    // The picture box: the logo inside a sunken two-pixel border.
    HWND const icon = GetDlgItem(dialog, kIdAboutIcon);
    SetWindowPos(icon, nullptr, 0, 0, MulDiv(74, scale, kDefaultDpi), MulDiv(79, scale, kDefaultDpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    UniqueBitmap logo(LoadLogo(state.instance, state.dpi));
    SendMessageW(icon, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.Get()));
    state.logo = std::move(logo);
    InvalidateRect(dialog, nullptr, TRUE);  // the engraved rule
}

void Initialise(HWND dialog, AboutState& state) {
    state.dpi = WindowDpi(dialog);
    SizeDialog(dialog, kAboutWidth, kAboutHeight, kAboutStyle, state.dpi);
    for (ControlPlacement const& placement : AboutLayout()) {
        CreateLayoutControl(dialog, placement, state.dpi, state.instance);
    }
    for (ControlPlacement const& placement : AboutLayout()) {
        if (placement.kind == ControlKind::Label) SendLabelToBack(GetDlgItem(dialog, placement.id));
    }
    HWND const icon = GetDlgItem(dialog, kIdAboutIcon);
    SetWindowLongPtrW(icon, GWL_EXSTYLE, GetWindowLongPtrW(icon, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    LayOut(dialog, state);

    AboutTexts const texts = MakeAboutTexts(ReadApplicationInfo());
    SetWindowTextW(dialog, texts.caption.c_str());
    SetDlgItemTextW(dialog, kIdAboutVersion, texts.version.c_str());
    SetDlgItemTextW(dialog, kIdAboutTitle, texts.title.c_str());
    SetDlgItemTextW(dialog, kIdAboutDescription, texts.description.c_str());
    SetDlgItemTextW(dialog, kIdAboutDisclaimer, texts.disclaimer.c_str());
    SendMessageW(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(state.instance, MAKEINTRESOURCEW(IDI_VIGILON))));
    SetFocus(GetDlgItem(dialog, kIdAboutOk));
}

// The engraved rule: a grey line over a white one.
void PaintRule(HWND dialog, UINT dpi) {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(dialog, &paint);
    for (RuleLine const& line : AboutRule()) {
        int const top = TwipsToPixels(line.top, dpi);
        RECT const r{TwipsToPixels(line.left, dpi), top, TwipsToPixels(line.right, dpi),
                     top + MulDiv(line.widthPixels, static_cast<int>(dpi), 96)};
        UniqueBrush const brush(CreateSolidBrush(line.colour));
        FillRect(dc, &r, brush.Get());
    }
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Initialise(dialog, *reinterpret_cast<AboutState*>(lParam));
        return FALSE;  // the focus is set already
    case WM_PAINT:
        PaintRule(dialog, state->dpi);
        return TRUE;
    case WM_DPICHANGED:
        MoveToSuggestedRect(dialog, lParam);
        state->dpi = HIWORD(wParam);
        LayOut(dialog, *state);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, IDOK); return TRUE;
        case kIdAboutSysInfo:
            StartSysInfo(state->platform.registry, state->platform.files, state->platform.shell,
                         state->platform.system);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void ShowAboutDialog(HWND owner, HINSTANCE instance, Platform& platform) {
    AboutState state{instance, platform, {}, {}};
    std::vector<WORD> const dialogTemplate = EmptyDialogTemplate(kAboutStyle);
    DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE const*>(dialogTemplate.data()), owner, AboutProc,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace vigilon
