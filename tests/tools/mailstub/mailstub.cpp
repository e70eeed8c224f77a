// Stands in for the user's mail program in the launch tests: appends its command line in
// brackets, one line per start, to the file named by LARKSPUR_MAILSTUB_RECORD, then shows a
// top-level window titled "Larkspur Mail Stub" until that window is closed.

#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK StubProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char file[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LARKSPUR_MAILSTUB_RECORD", file, MAX_PATH)) return 2;
    FILE* out = std::fopen(file, "a");
    if (!out) return 3;
    std::fprintf(out, "[%s]\n", GetCommandLineA());
    std::fclose(out);

    WNDCLASSA wc{};
    wc.lpfnWndProc = StubProc;
    wc.hInstance = instance;
    wc.lpszClassName = "LarkspurMailStub";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowA("LarkspurMailStub", "Larkspur Mail Stub", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
