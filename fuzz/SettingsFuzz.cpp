// The settings store loading whatever the registry holds: each value of the settings key with
// any type and any bytes, decoded and loaded as at start-up.
//
// Input: records of <section byte> <name byte> <type byte> <length byte> <data>.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/RegistryData.h"
#include "settings/AppProperties.h"
#include "tests/unit/MemoryKeyStore.h"

namespace {

const char kKey[] = "Software\\Fuzz";
const char* const kSections[] = {"Mailbox", "Notification", "General"};
const char* const kNames[] = {"Pop3 Server Address", "Login Username", "Password",
                              "Show Window", "Play Sound", "Default Sound", "Wave File Path",
                              "Start Mail App", "Mail App Path",
                              "Mail App Command Line Parameter", "Repeat Mail Check",
                              "Repeat Mail Interval", "Use Dial-up Networking"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto registry = std::make_shared<MemoryRegistry>();
    for (std::size_t i = 0; i + 4 <= size;) {
        const char* section = kSections[data[i] % 3];
        const char* name = kNames[data[i + 1] % 13];
        const auto type = static_cast<MemoryRegistry::Type>(data[i + 2] % 8);
        const std::size_t length = std::min<std::size_t>(data[i + 3], size - i - 4);
        const std::string bytes(reinterpret_cast<const char*>(data + i + 4), length);
        registry->keys[std::string(kKey) + "\\" + section][name] = {type, bytes};
        i += 4 + length;

        // The decoders on their own: a text never holds a zero byte; an integer needs four bytes.
        const auto text = DecodeRegistryString(type, bytes);
        if (text && text->find('\0') != std::string::npos) std::abort();
        if (DecodeRegistryInteger(type, bytes) && bytes.size() != 4) std::abort();
    }

    TAppProperties settings(std::make_unique<MemoryKeyStore>(registry), kKey,
                            {[] { return true; }, [] { return std::string("C:\\Mail\\mail.exe"); },
                             [](const std::string&) { return false; }});
    // What the load took is what a second load takes, after the first has stored the mail program.
    TAppProperties again(std::make_unique<MemoryKeyStore>(registry), kKey,
                         {[] { return true; }, [] { return std::string("other"); },
                          [](const std::string&) { return false; }});
    if (settings.Mailbox(0).Pop3ServerAddress() != again.Mailbox(0).Pop3ServerAddress() ||
        settings.Mailbox(0).Password() != again.Mailbox(0).Password() ||
        settings.MailAppPath() != again.MailAppPath() ||
        settings.RepeatMailInterval() != again.RepeatMailInterval() ||
        settings.UseDialUpNetworking() != again.UseDialUpNetworking())
        std::abort();
    return 0;
}
