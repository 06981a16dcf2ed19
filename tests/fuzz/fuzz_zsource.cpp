// Zentor source in SQLite form: the whole model, the browser's pages and the club files of
// a few teams, as zexporter reads and writes them. Jet sources take the Jet import first
// (fuzz_jetimport).
#include "common/jetdb.h"
#include "common/random.h"
#include "exporter/zexport.h"
#include "exporter/zsource.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path& outputFolder()
{
    static const fs::path dir = [] {
        const fs::path shm = "/dev/shm";
        fs::path d = (fs::is_directory(shm) ? shm : fs::temp_directory_path()) /
                     ("kickora-fuzz-zsource-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.substr(0, 16) != std::string_view("SQLite format 3\0", 16))
        return -1;  // not kept in the corpus: the other kinds go through temporary files
    try {
        const zexp::Source src = zexp::Source::openBytes(bytes);
        RandomSource rnd(1);
        src.counters();
        int teams = 0;
        for (const zexp::TreeNode& n : src.tree()) {
            if (n.kind == zexp::NodeKind::Country) {
                src.showland(n.number);
                src.showspielerliste2(n.number);
            }
            if (n.kind != zexp::NodeKind::Team || ++teams > 4)
                continue;
            src.showteam(n.number);
            for (const zexp::PlayerEntry& e : src.showspielerliste(n.number))
                src.showplayer(e.id, rnd);
            zexp::ExportOptions o;
            o.random = &rnd;
            o.dateTime = "01.01.2026 00:00:00";
            zexp::exportClub(src, n.number, outputFolder() / "team.aet", o);
        }
        if (!src.countries().empty())
            zexp::exportNational(src, src.countries().front().id, outputFolder() / "land.aet");
    } catch (const jet::Error&) {
    }
    return 0;
}
