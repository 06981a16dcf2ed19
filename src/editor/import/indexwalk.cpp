#include "import/indexwalk.h"

#include "common/exportnames.h"
#include "common/paths.h"
#include "common/profile.h"
#include "common/progress.h"
#include "import/clubfile.h"

#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace imp {

namespace {

std::string trimmed(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::string refusal(const std::string& section, const std::string& name)
{
    return "Der Name \"" + name + "\" in [" + section +
           "] zeigt aus dem Ordner der Indexdatei hinaus und wird übersprungen.";
}

}  // namespace

bool safeIndexName(const std::string& name)
{
    if (name.find('\\') != std::string::npos)
        return false;
    if (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':')
        return false;
    std::size_t from = 0;
    while (from <= name.size()) {
        std::size_t to = name.find('/', from);
        if (to == std::string::npos)
            to = name.size();
        if (trimmed(std::string_view(name).substr(from, to - from)) == "..")
            return false;
        from = to + 1;
    }
    return true;
}

IndexWalk walkIndexFile(const fs::path& requested, ProgressSink& progress)
{
    return walkIndex(openImportFile(requested), progress);
}

IndexWalk walkIndex(const ImportFile& in, ProgressSink& progress)
{
    const fs::path& indexFile = in.path;
    const profile::Document* doc = &in.doc;

    IndexWalk walk;
    const std::vector<std::string> sections = doc->sectionNames();
    if (sections.empty())
        return walk;
    const fs::path folder = indexFile.parent_path();
    walk.country = doc->getString(sections.front(), "Land", "");
    // Without a country the second place would be the first one again.
    bool countryPlace = !walk.country.empty();
    if (countryPlace && !safeIndexName(walk.country)) {
        walk.skipped.push_back(refusal(sections.front(), walk.country));
        countryPlace = false;
    }
    const fs::path countryFolder = folder / exportFileName(walk.country);

    auto offer = [&](const fs::path& base, const std::string& section, const std::string& club, bool second) {
        const fs::path file = paths::findFile(base / exportFileName(section) / (exportFileName(club) + ".aet"));
        std::error_code e;
        if (fs::is_regular_file(file, e))
            walk.files.push_back({section, club, file, file.lexically_relative(folder), second});
    };

    for (std::size_t s = 1; s < sections.size(); ++s) {
        const std::string& section = sections[s];
        const bool sectionSafe = safeIndexName(section);
        if (!sectionSafe)
            walk.skipped.push_back(refusal(section, section));
        const std::vector<std::string> lines = doc->sectionLines(section);
        const std::size_t last = lines.empty() ? 0 : lines.size() - 1;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            progress.status(section);
            progress.percent(last == 0 ? 100 : static_cast<int>(i * 100 / last));
            if (!sectionSafe || trimmed(lines[i]).empty())
                continue;
            // The key is the team number; the club name may itself hold "=".
            const std::size_t eq = lines[i].find('=');
            const std::string club = trimmed(eq == std::string::npos ? lines[i] : lines[i].substr(eq + 1));
            if (club.empty())
                continue;
            if (!safeIndexName(club)) {
                walk.skipped.push_back(refusal(section, club));
                continue;
            }
            offer(folder, section, club, false);
            if (countryPlace)
                offer(countryFolder, section, club, true);
        }
    }
    return walk;
}

}  // namespace imp
