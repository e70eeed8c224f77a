#pragma once
// Command lines built from stored settings.

#include <string>

// prefix + argument, unless the argument holds CR, LF or a zero character: such an argument
// would end the command early and smuggle further commands to the server, so EMailError is
// raised instead and nothing is sent.
std::string CredentialCommand(const std::string& prefix, const std::string& argument);
