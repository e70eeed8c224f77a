#pragma once
// What to do about the refusals of the large providers whose reply lines say too little: the
// string that says it and the section of the help that shows how.

#include <string>

struct TRefusalAdvice {
    int TextId;               // a string of the resources
    const char* HelpSection;  // the anchor of Help\Larkspur.htm, without "#"
};

// The advice for a server's reply line (compared without regard to case) from the server named
// in the settings; none for a line the table does not know.
const TRefusalAdvice* AdviceForRefusal(const std::string& reply, const std::string& server);

// The help document at a section, as a file address a browser opens: "file:///C:/.../x.htm#s",
// with the characters an address cannot hold escaped.
std::string HelpSectionAddress(const std::string& documentPath, const std::string& section);
