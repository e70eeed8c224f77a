#include "framework/Form.win.h"

#include <cstring>
#include <vector>

#include "framework/Application.win.h"

namespace {

// A DIALOGEX template begins with dlgVer 1 and signature 0xFFFF, then helpID, exStyle, style.
struct DialogExHeader {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
};

std::vector<BYTE> LoadTemplate(int id) {
    HINSTANCE instance = Application.Instance();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /*RT_DIALOG*/);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    const DWORD size = SizeofResource(instance, resource);
    const BYTE* begin = static_cast<const BYTE*>(bytes);
    return std::vector<BYTE>(begin, begin + size);
}

}  // namespace

TForm::~TForm() {
    if (FHandle) DestroyWindow(FHandle);
}

void TForm::CreateParams(DWORD&, DWORD&) {}

int TForm::ShowModal() {
    std::vector<BYTE> bytes = LoadTemplate(TemplateId);
    if (bytes.size() < sizeof(DialogExHeader)) return mrCancel;
    DialogExHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.dlgVer != 1 || header.signature != 0xFFFF) return mrCancel;
    CreateParams(header.style, header.exStyle);
    header.style &= ~WS_VISIBLE;  // shown below, after the form has set itself up
    std::memcpy(bytes.data(), &header, sizeof header);

    HWND owner = Application.Handle();
    ModalResult = mrNone;
    FHandle = CreateDialogIndirectParamA(Application.Instance(),
                                         reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), owner,
                                         &TForm::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!FHandle) return mrCancel;

    const BOOL ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(FHandle, SW_SHOWNORMAL);
    MSG msg;
    while (ModalResult == mrNone && !Application.Terminated()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The quit message belongs to the outer loop; leave it for that one.
            PostQuitMessage(0);
            break;
        }
        if (PreTranslateMessage(msg)) continue;
        if (!IsDialogMessageA(FHandle, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (owner && ownerWasEnabled) EnableWindow(owner, TRUE);
    ShowWindow(FHandle, SW_HIDE);
    DestroyWindow(FHandle);
    FHandle = nullptr;
    return ModalResult;
}

void TForm::OnCommand(int id, int notifyCode) {
    if (notifyCode == BN_CLICKED && id >= IDOK && id <= IDNO) {
        ModalResult = id;
    }
}

void TForm::OnTimer(UINT_PTR) {}

void TForm::StartTimer(UINT_PTR id, UINT milliseconds) { SetTimer(FHandle, id, milliseconds, nullptr); }

void TForm::StopTimer(UINT_PTR id) { KillTimer(FHandle, id); }

void TForm::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(FHandle, id, text.c_str());
}

INT_PTR CALLBACK TForm::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm* form;
    if (msg == WM_INITDIALOG) {
        form = reinterpret_cast<TForm*>(lParam);
        form->FHandle = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!form) return FALSE;
    try {
        return form->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        Application.HandleException(e);
        return TRUE;
    }
}

INT_PTR TForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            FormShow();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CLOSE:
            ModalResult = mrCancel;
            return TRUE;
    }
    return FALSE;
}
