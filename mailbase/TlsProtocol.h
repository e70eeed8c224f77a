#pragma once
// Which TLS protocol versions a check accepts: TLS 1.2 and later. Older ones are refused both
// from what the server answers to the hello and from what the platform's provider negotiated.

#include <cstdint>
#include <string>

// The first bytes a server sent in answer to the hello (a record header and the start of its
// first message). True when they pick a protocol version older than TLS 1.2 (a ServerHello
// with such a version); false for anything else, and while too few bytes have arrived to tell.
bool AnswersWithOutdatedTls(const std::string& firstBytes);

// The negotiated protocol as the provider names it (its SP_PROT_ flags): true for SSL and for
// TLS 1.0 and 1.1, and for no protocol at all.
bool IsOutdatedProtocol(std::uint32_t protocol);
