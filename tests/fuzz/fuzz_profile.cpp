// Profile (INI) files: every read operation, and a written key that must read back.
#include "common/profile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    profile::Document doc = profile::Document::fromBytes(bytes);
    const std::vector<std::string> sections = doc.sectionNames();
    for (std::size_t i = 0; i < sections.size() && i < 32; ++i) {
        for (const std::string& line : doc.sectionLines(sections[i])) {
            const std::string key = line.substr(0, line.find('='));
            doc.getString(sections[i], key, "");
            doc.getInt(sections[i], key);
        }
    }
    if (doc.setString("Kickora", "Fuzz", "Wert 1")) {
        const profile::Document again = profile::Document::fromBytes(doc.toBytes());
        if (again.getString("Kickora", "Fuzz", "") != "Wert 1")
            __builtin_trap();
    }
    return 0;
}
