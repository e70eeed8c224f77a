#include "framework/Form.win.h"

#include <cstring>
#include <vector>

#include "framework/Application.win.h"
#include "framework/OSError.win.h"

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
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC resource =
        FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /*RT_DIALOG*/);
    if (!resource) RaiseLastOSError("FindResourceA");
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) RaiseLastOSError("LoadResource");
    const DWORD size = SizeofResource(instance, resource);
    const BYTE* begin = static_cast<const BYTE*>(bytes);
    return std::vector<BYTE>(begin, begin + size);
}

// Disables the owner for the length of a modal display and enables it again however it ends.
class OwnerDisabled {
public:
    explicit OwnerDisabled(HWND owner)
        : Owner(owner), WasEnabled(owner && IsWindowEnabled(owner)) {
        if (Owner) EnableWindow(Owner, FALSE);
    }
    ~OwnerDisabled() {
        if (Owner && WasEnabled) EnableWindow(Owner, TRUE);
    }
    OwnerDisabled(const OwnerDisabled&) = delete;
    OwnerDisabled& operator=(const OwnerDisabled&) = delete;

private:
    HWND Owner;
    BOOL WasEnabled;
};

}  // namespace

void TForm::CreateParams(DWORD&, DWORD&) {}

void TForm::CreateHandle(HWND parent) {
    if (Handle()) return;
    std::vector<BYTE> bytes = LoadTemplate(TemplateId);
    DialogExHeader header;
    if (bytes.size() < sizeof header) throw Exception("Dialog template is not a DIALOGEX");
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.dlgVer != 1 || header.signature != 0xFFFF)
        throw Exception("Dialog template is not a DIALOGEX");
    CreateParams(header.style, header.exStyle);
    header.style &= ~WS_VISIBLE;  // shown by ShowModal, after the form has set itself up
    std::memcpy(bytes.data(), &header, sizeof header);
    CreateDialogHandle(bytes.data(), parent ? parent : Application.Handle());
}

int TForm::ShowModal() {
    CreateHandle();
    ModalResult = mrNone;
    FormShow();
    {
        OwnerDisabled ownerDisabled(GetWindow(Handle(), GW_OWNER));
        ShowWindow(Handle(), ShowCommand);
        MSG msg;
        while (ModalResult == mrNone && !Application.Terminated() && Handle()) {
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got <= 0) {
                // The quit message belongs to the outer loop; leave it for that one.
                PostQuitMessage(0);
                break;
            }
            if (PreTranslateMessage(msg)) continue;
            if (!IsDialogMessageA(Handle(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (Handle()) ShowWindow(Handle(), SW_HIDE);
    }
    DestroyHandle();
    return ModalResult;
}

void TForm::OnCommand(int id, int notifyCode) {
    if (notifyCode == BN_CLICKED && id >= IDOK && id <= IDNO) ModalResult = id;
}

void TForm::OnTimer(UINT_PTR) {}

void TForm::OnClose() { ModalResult = mrCancel; }

void TForm::StartTimer(UINT_PTR id, UINT milliseconds) {
    if (!SetTimer(Handle(), id, milliseconds, nullptr)) RaiseLastOSError("SetTimer");
}

void TForm::StopTimer(UINT_PTR id) { KillTimer(Handle(), id); }

void TForm::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(Handle(), id, text.c_str());
}
