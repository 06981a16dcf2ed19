// Profile file commands, the same operations the programs use.
#include "common/profile.h"
#include "tool.h"

#include <iostream>

namespace tool {

int cmdIniGet(const Args& args) {
    if (args.size() != 3 && args.size() != 4) return kUsage;
    std::cout << profile::getString(args[1], args[2], args.size() == 4 ? args[3] : "", args[0]) << "\n";
    return kOk;
}

int cmdIniSet(const Args& args) {
    if (args.size() != 4) return kUsage;
    if (!profile::writeString(args[1], args[2], args[3], args[0])) {
        std::cerr << "Die Datei " << args[0] << " kann nicht geschrieben werden.\n";
        return kError;
    }
    return kOk;
}

int cmdIniSections(const Args& args) {
    if (args.size() != 1) return kUsage;
    for (const auto& s : profile::sectionNames(args[0])) std::cout << s << "\n";
    return kOk;
}

int cmdIniSection(const Args& args) {
    if (args.size() != 2) return kUsage;
    for (const auto& s : profile::sectionLines(args[1], args[0])) std::cout << s << "\n";
    return kOk;
}

}  // namespace tool
