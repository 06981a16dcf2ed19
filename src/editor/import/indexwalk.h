#pragma once
// League (.lig) and country (.lan) index files: which club files they name. A club file lies
// in a folder named after the league section, beside the index file or inside the country
// folder beside it; both places are tried for every line. Names go through the exporter's
// file-name rule and are looked up without regard to letter case, so every club file an
// export wrote is found.
#include "importerror.h"
#include <filesystem>
#include <string>
#include <vector>

struct ProgressSink;

namespace imp {

inline constexpr const char* kIndexSection = "LigaLand";  // header section, holds no clubs

struct IndexClubFile {
    std::string section;              // league section as written in the index file
    std::string baseName;             // club name of the line (the text after its first "=")
    std::filesystem::path file;       // the existing club file
    std::filesystem::path relative;   // the same, relative to the index file's folder
    bool inCountryFolder = false;     // found in the country folder (second place)
};

struct IndexWalk {
    std::string country;                // key "Land" of the first section
    std::vector<IndexClubFile> files;   // in the order to offer them: per line the first
                                        // place, then the second; a club in both comes twice
    std::vector<std::string> skipped;   // German message per name that was refused
};

// True when a name from an index file may be used as a folder or file name: it must not hold
// "\", a ".." path step or a drive letter ("C:"), so no file outside the index file's folder
// tree is ever opened. ("/" is removed by the file-name rule and is harmless.)
bool safeIndexName(const std::string& name);

// Walks the index file: sections from the second to the last, their lines in order (empty
// lines skipped). The club's base name is the text after the line's first "=" (a team number
// precedes it), the whole line when it has none. Lines whose club file exists in neither place
// are left out silently; names refused by safeIndexName are left out with a message. Status:
// the section name; percentage: the line index within its section. Throws Error when the
// index file does not exist or cannot be read.
IndexWalk walkIndexFile(const std::filesystem::path& indexFile, ProgressSink& progress);
// The same over an index file already loaded; in.path names its place.
struct ImportFile;
IndexWalk walkIndex(const ImportFile& in, ProgressSink& progress);

}  // namespace imp
