#pragma once
// The test Dovecot's mailboxes (Maildir folders under LARKSPUR_POP3_MAILDIR), reached through
// Wine's Z: drive: messages delivered the way a mail server does and taken away again. Shared by
// the Win32 tests and the end-to-end tests.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

inline std::string MailboxFolder(const std::string& user) {
    const char* root = std::getenv("LARKSPUR_POP3_MAILDIR");
    std::string folder = std::string("Z:") + (root ? root : "") + "/" + user;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

// Written in tmp, then moved into new.
inline bool Deliver(const std::string& user, const std::string& name, const std::string& message) {
    const std::string written = MailboxFolder(user) + "\\tmp\\" + name;
    const HANDLE file = CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool whole = WriteFile(file, message.data(), static_cast<DWORD>(message.size()), &done,
                                 nullptr) &&
                       done == message.size();
    CloseHandle(file);
    return whole && MoveFileA(written.c_str(), (MailboxFolder(user) + "\\new\\" + name).c_str());
}

// Wherever the server has moved it meanwhile, and whatever flags it gave it.
inline void RemoveDelivered(const std::string& user, const std::string& name) {
    for (const char* sub : {"\\new\\", "\\cur\\"}) {
        WIN32_FIND_DATAA found;
        const std::string folder = MailboxFolder(user) + sub;
        const HANDLE search = FindFirstFileA((folder + name + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        DeleteFileA((folder + found.cFileName).c_str());
        FindClose(search);
    }
}
