#pragma once
// The session's four failure classes. Each derives directly from the base exception so that a
// handler for one never catches another; the count job turns them into error kinds.

#include "framework/Exception.h"

// The mail level failed: the server refused a command, or what it gave cannot be used.
class EMailError : public Exception {
public:
    using Exception::Exception;
};

// The socket service reported a failure; the message comes from SocketErrorText.
class ESocketError : public Exception {
public:
    using Exception::Exception;
};

class ETimedOutError : public Exception {
public:
    ETimedOutError() : Exception("Operation timed out") {}
};

// Also raised when a wait meets the application's quitting flag.
class ECanceledError : public Exception {
public:
    ECanceledError() : Exception("Operation has been canceled") {}
};
