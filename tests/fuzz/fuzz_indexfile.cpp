// League and country index files (.lig, .lan): the walk over their lines must never offer a
// club file outside the index file's folder tree.
#include "common/progress.h"
#include "editor/import/clubfile.h"
#include "editor/import/indexwalk.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// A folder with one club in both places the walk looks, and a file beside it that no
// name may reach.
const fs::path& folder()
{
    static const fs::path dir = [] {
        std::string tmpl = (fs::temp_directory_path() / "fuzz-index-XXXXXX").string();
        const fs::path d = mkdtemp(tmpl.data()) ? fs::path(tmpl) / "liga" : fs::path();
        for (const fs::path& f : {d / "Bundesliga" / "Berlin.aet", d / "Deutschland" / "Bundesliga" / "Berlin.aet",
                                  d.parent_path() / "geheim.aet"}) {
            fs::create_directories(f.parent_path());
            std::ofstream(f) << "[Team]\r\nName=Berlin\r\n";
        }
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NullProgress none;
    imp::ImportFile in{folder() / "de.lan",
                       profile::Document::fromBytes(std::string_view(reinterpret_cast<const char*>(data), size))};
    const imp::IndexWalk walk = imp::walkIndex(in, none);
    for (const imp::IndexClubFile& f : walk.files) {
        const fs::path inside = fs::weakly_canonical(f.file).lexically_relative(fs::weakly_canonical(folder()));
        if (inside.empty() || *inside.begin() == "..")
            __builtin_trap();
    }
    return 0;
}
