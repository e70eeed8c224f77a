#pragma once
// The base exception of the program: one message text and nothing else. Every exception class
// of the program derives from it; what() returns the same text as Message.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// A text that is not a number where one is required ("'%s' is not a valid integer value").
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
