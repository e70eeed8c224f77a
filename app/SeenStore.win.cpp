#include "app/SeenStore.win.h"

#include <windows.h>

#include <algorithm>

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

// The path up to its last backslash, with a zero of its own.
TWide Folder(const TWide& path) {
    TWide folder = path;
    const auto slash = std::find(folder.rbegin(), folder.rend(), L'\\');
    if (slash != folder.rend()) *slash = L'\0';
    return folder;
}

bool WriteWhole(const TWide& path, const std::string& data) {
    FileHandle file(CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    return WideToUtf8(appData, length) + "\\Larkspur\\" + SeenFileName(server, userName);
}

TSeenIds LoadSeenIds(const std::string& path) {
    TSeenIds seen;
    FileHandle file(CreateFileW(Utf8ToWide(path).data(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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
    const TWide target = Utf8ToWide(path);
    const TWide temporary = Utf8ToWide(path + ".new");
    CreateDirectoryW(Folder(target).data(), nullptr);
    if (WriteWhole(temporary, FormatSeenIds(ids)) &&
        MoveFileExW(temporary.data(), target.data(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.data());
    return false;
}
