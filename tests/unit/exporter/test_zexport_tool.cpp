// kickoratool demo-zentor and zexport run the exporter's own code.
#include "common/profile.h"
#include "common/random.h"
#include "exporter/zexport.h"
#include "testsupport.h"
#include "zminisource.h"

#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::runCommand;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

const fs::path kTool = KICKORATOOL;

int run(const std::string& args, std::string* out = nullptr) {
    int status = -1;
    std::string o = runCommand("'" + kTool.string() + "' " + args + " 2>&1", &status);
    if (out) *out = o;
    return status;
}

// A club file without its first line (the export time).
std::string body(const fs::path& f) {
    const std::string b = readFile(f);
    return b.substr(b.find("\r\n"));
}

}  // namespace

TEST(ZexportTool, ExitCodesAndUsage) {
    TempDir dir;
    zmini::write(dir / "z.mdb");
    const std::string z = (dir / "z.mdb").string();
    std::string out;
    EXPECT_EQ(run("zexport '" + z + "' --club 11 '" + (dir / "a.aet").string() + "'", &out), 0) << out;
    EXPECT_EQ(profile::getString("Team", "Name", "", dir / "a.aet"), "FC Adler");
    EXPECT_EQ(run("zexport '" + z + "' --verein 11 x.aet"), 2);
    EXPECT_EQ(run("zexport '" + z + "' --league 1 x.lig"), 2);
    EXPECT_EQ(run("zexport '" + z + "' --club elf x.aet"), 2);
    EXPECT_EQ(run("zexport '" + (dir / "fehlt.mdb").string() + "' --club 1 x.aet", &out), 1);
    EXPECT_NE(out.find("nicht gefunden"), std::string::npos);
    EXPECT_EQ(run("zexport '" + z + "' --club 999 '" + (dir / "b.aet").string() + "'", &out), 1);
    EXPECT_NE(out.find("999"), std::string::npos);
    EXPECT_EQ(run("demo-zentor '" + z + "'"), 1);  // exists already
    EXPECT_EQ(run("demo-zentor '" + (dir / "d.mdb").string() + "' --scale 0"), 2);
}

TEST(ZexportTool, SameFilesAsTheLibrary) {
    TempDir dir;
    ASSERT_EQ(run("demo-zentor '" + (dir / "z.mdb").string() + "' --seed 9"), 0);
    const zexp::Source src = zexp::Source::open(dir / "z.mdb");
    fs::create_directories(dir / "lib");
    fs::create_directories(dir / "cli");
    RandomSource rnd(4);
    zexp::ExportOptions o;
    o.random = &rnd;
    ASSERT_TRUE(zexp::exportCountry(src, 1, dir / "lib" / "D.lan", o).ok());
    ASSERT_EQ(run("zexport '" + (dir / "z.mdb").string() + "' --country 1 '" + (dir / "cli" / "D.lan").string() +
                  "' --seed 4"),
              0);
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir / "lib")) {
        if (e.is_directory()) continue;
        const fs::path other = dir / "cli" / fs::relative(e.path(), dir / "lib");
        ASSERT_TRUE(fs::exists(other)) << other;
        if (e.path().extension() == ".aet")
            EXPECT_EQ(body(e.path()), body(other)) << other;
        else
            EXPECT_EQ(readFile(e.path()), readFile(other)) << other;
        ++files;
    }
    EXPECT_GT(files, 30);

    ASSERT_EQ(run("zexport '" + (dir / "z.mdb").string() + "' --all '" + (dir / "alle").string() + "'"), 0);
    EXPECT_TRUE(fs::exists(dir / "alle" / "Deutschland.lan"));
    EXPECT_TRUE(fs::exists(dir / "alle" / "Deutschland" / "1. Liga.lig"));
}
