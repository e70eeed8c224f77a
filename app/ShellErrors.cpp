#include "app/ShellErrors.h"

std::string ShellErrorText(long result) {
    switch (result) {
        case 0: return "The operating system is out \r\nof memory or resources.";
        case 2: return "The specified file was not found.";
        case 3: return "The specified path was not found.";
        case 5: return "The operating system denied \r\naccess to the specified file.";
        case 8: return "There was not enough memory \r\nto complete the operation.";
        case 11: return "The .EXE file is invalid (non-Win32 \r\n.EXE or error in .EXE image).";
        case 26: return "A sharing violation occurred.";
        case 27: return "The filename association \r\nis incomplete or invalid.";
        case 28:
            return "The DDE transaction could not \r\nbe completed because the request \r\ntimed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not\r\nbe completed because other DDE \r\n"
                   "transactions were being processed.";
        case 31: return "There is no application \r\nassociated with these files.";
        case 32: return "The specified dynamic-link \r\nlibrary was not found.";
        default: return "The requested file could not be opened.";
    }
}

std::string OpenDocumentFailureMessage(long result, const std::string& target) {
    return ShellErrorText(result) + "\r\n\r\n" + "To open the page:" + "\r\n\r\n" + target +
           "\r\n\r\n" + "use the Open command from" + "\r\n" + "the browser's File menu.";
}
