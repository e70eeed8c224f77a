#include "app/SeenStore.win.h"

#include <windows.h>

#include "app/SeenIdsFile.h"
#include "framework/WideText.win.h"

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : H(handle) {}
    ~FileHandle() {
        if (H != INVALID_HANDLE_VALUE) CloseHandle(H);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return H; }
    bool Close() {
        const bool closed = CloseHandle(H) != 0;
        H = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE H;
};

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

bool WriteWhole(const std::wstring& path, const std::string& data) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()),
                                 &written, nullptr) &&
                       written == data.size();
    return whole && FlushFileBuffers(file.Get()) && file.Close();
}

}  // namespace

std::string SeenFilePath(const std::string& server, const std::string& userName) {
    wchar_t appData[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    return WideToUtf8(appData) + "\\Larkspur\\" + SeenFileName(server, userName);
}

TSeenIds LoadSeenIds(const std::string& path) {
    TSeenIds seen;
    FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > static_cast<LONGLONG>(kMaxSeenFileSize))
        return seen;
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
        read != data.size())
        return seen;
    ParseSeenIds(data, seen);
    return seen;
}

bool SaveSeenIds(const std::string& path, const std::vector<std::string>& ids) {
    if (path.empty()) return false;
    const std::wstring target = Utf8ToWide(path);
    const std::wstring temporary = target + L".new";
    CreateDirectoryW(Folder(target).c_str(), nullptr);
    if (WriteWhole(temporary, FormatSeenIds(ids)) &&
        MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
