#include "settings/ProviderPresets.h"

#include <cctype>

namespace {

// Microsoft accepts nothing but its accounts' tokens for POP; the others take a password (most
// only an app password), so the user's choice of sign-in stays.
const TProviderPreset kPresets[] = {
    {"outlook.com", "outlook.office365.com", smTLS, siMicrosoft},
    {"hotmail.com", "outlook.office365.com", smTLS, siMicrosoft},
    {"live.com", "outlook.office365.com", smTLS, siMicrosoft},
    {"msn.com", "outlook.office365.com", smTLS, siMicrosoft},
    {"gmail.com", "pop.gmail.com", smTLS, std::nullopt},
    {"googlemail.com", "pop.gmail.com", smTLS, std::nullopt},
    {"yahoo.com", "pop.mail.yahoo.com", smTLS, std::nullopt},
    {"gmx.net", "pop.gmx.net", smTLS, std::nullopt},
    {"gmx.de", "pop.gmx.net", smTLS, std::nullopt},
    {"gmx.com", "pop.gmx.com", smTLS, std::nullopt},
    {"web.de", "pop.web.de", smTLS, std::nullopt},
    {"fastmail.com", "pop.fastmail.com", smTLS, std::nullopt},
};

}  // namespace

std::optional<TProviderPreset> PresetForAddress(const std::string& address) {
    const std::size_t at = address.rfind('@');
    if (at == std::string::npos || at == 0) return std::nullopt;
    std::string domain = address.substr(at + 1);
    for (char& c : domain) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const TProviderPreset& preset : kPresets)
        if (domain == preset.Domain) return preset;
    return std::nullopt;
}
