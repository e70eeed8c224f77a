#pragma once
// The file of the message IDs the user has been told about, one per mailbox:
//   Larkspur seen message IDs 1
//   <one ID per line>
//   end <number of IDs>
// The last line shows that the file is whole; a file that is not exactly of this form counts as
// no ID seen (and is replaced at the next save).

#include <cstddef>
#include <string>
#include <vector>

#include "mailbase/NewMail.h"

// No file of more bytes is read: the largest that FormatSeenIds makes, with room to spare.
constexpr std::size_t kMaxSeenFileSize = 64 + kMaxMessageIds * 72;

std::string FormatSeenIds(const std::vector<std::string>& ids);
// False, with seen empty, for anything but a whole file of valid IDs.
bool ParseSeenIds(const std::string& data, TSeenIds& seen);

// The file's name for a mailbox: a hash of the server and user name, so that nothing a user
// types can make a name the file system refuses or another mailbox's name.
std::string SeenFileName(const std::string& server, const std::string& userName);
