#pragma once
// Where the IDs of the messages the user has been told about are kept: one file per mailbox in
// %APPDATA%\Larkspur. The folder comes from the APPDATA variable, which the system sets for
// every user session; no shell library is loaded for it.

#include <string>
#include <vector>

#include "mailbase/NewMail.h"

// The mailbox's file (UTF-8 path); empty when APPDATA is not set.
std::string SeenFilePath(const std::string& server, const std::string& userName);

// An absent, unreadable, too large or broken file counts as nothing seen.
TSeenIds LoadSeenIds(const std::string& path);

// Writes the IDs to "<path>.new" straight through to the disk, then moves that over the file in
// one step, so a crash or a full disk leaves the old file or the new one, never a part. Makes
// the folder when missing. False, with the old file as it was, on any failure.
bool SaveSeenIds(const std::string& path, const std::vector<std::string>& ids);
