#include "import/targetchoice.h"

#include "common/paths.h"
#include "common/profile.h"

namespace imp {

namespace {

TargetKeys readKeys(const std::filesystem::path& file, const char* countryKey)
{
    const profile::Document doc = profile::Document::load(paths::findFile(file));
    return {doc.getString("Team", "Name", ""), doc.getString("Team", "Stadt", ""),
            doc.getString("Team", countryKey, "")};
}

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

TargetKeys clubFileKeys(const std::filesystem::path& aetFile) { return readKeys(aetFile, "Land"); }
TargetKeys teamFileKeys(const std::filesystem::path& teaFile) { return readKeys(teaFile, "Nation"); }

int candidateClub(const std::vector<std::string>& entries, const TargetKeys& keys)
{
    const std::string tail = " " + keys.stadt + " (" + keys.land + ")";
    int candidate = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (endsWith(entry, tail))
            candidate = static_cast<int>(i);
        // The club's name part: everything before the " (" of the nation.
        const std::size_t open = entry.rfind('(');
        const std::string_view namePart =
            open == std::string::npos ? std::string_view(entry) : std::string_view(entry).substr(0, open >= 1 ? open - 1 : 0);
        if (!keys.name.empty() && namePart.find(keys.name) != std::string_view::npos)
            return static_cast<int>(i);
    }
    return candidate;
}

}  // namespace imp
