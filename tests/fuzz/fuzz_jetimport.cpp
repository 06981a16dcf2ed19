// Jet/Access files through the import as the programs run it: libmdb reads in a child
// process, this process takes what the child sends and writes the SQLite file.
#include "common/jetdb.h"
#include "common/jetimport.h"
#include "common/fileio.h"

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include <unistd.h>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // libmdb loops without end on some damaged files; the importer's watchdog ends the
    // reading child after this much silence, well inside the fuzzer's time limit.
    ::setenv("KICKORA_IMPORT_STALL_SECONDS", "3", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path dir = [] {
        const fs::path shm = "/dev/shm";
        fs::path d = (fs::is_directory(shm) ? shm : fs::temp_directory_path()) /
                     ("kickora-fuzz-jet-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    const fs::path input = dir / "eingabe.mdb";
    const fs::path target = dir / "ausgabe.sqlite";
    std::error_code ec;
    fs::remove(target, ec);
    if (!fileio::replaceFile(input, std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    try {
        jetimport::importFile(input, target);
        // What the import wrote is a database the programs can open.
        jet::Database db = jet::Database::open(target, false, true);
        for (const std::string& t : db.tableNames())
            db.query("SELECT count(*) FROM [" + t + "]");
    } catch (const jet::Error&) {
        if (fs::exists(target))
            __builtin_trap();  // a refused file leaves no target behind
    }
    return 0;
}
