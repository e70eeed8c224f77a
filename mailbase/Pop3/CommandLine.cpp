#include "mailbase/Pop3/CommandLine.h"

#include "mailbase/MailErrors.h"

std::string CredentialCommand(const std::string& prefix, const std::string& argument) {
    if (argument.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw EMailError("The user name or password contains a line break or a zero character.");
    return prefix + argument;
}
