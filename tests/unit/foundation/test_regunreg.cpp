#include "foundation/regunreg.h"

#include <gtest/gtest.h>

#include <memory>

#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Small shared libraries, compiled once for the whole suite. Each entry point appends a word
// to a marker file; the destructor notes when the library is unloaded.
class RegUnregTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        const std::string common =
            "#include <stdio.h>\n#include <unistd.h>\n"
            "static void note(const char* w) { FILE* f = fopen(MARKER, \"a\"); if (f) { fputs(w, f); fclose(f); } }\n"
            "__attribute__((destructor)) static void gone(void) { note(\"unloaded;\"); }\n";
        build("good", common +
                          "long DllRegisterServer(void) { note(\"register;\"); return 0; }\n"
                          "long DllUnregisterServer(void) { note(\"unregister;\"); return 0; }\n");
        build("none", common + "int other(void) { return 1; }\n");
        build("slow", common + "long DllRegisterServer(void) { sleep(12); note(\"late;\"); return 0; }\n");
    }
    static void TearDownTestSuite() { dir_.reset(); }

    static void build(const std::string& name, const std::string& source) {
        const fs::path src = *dir_ / (name + ".c");
        writeFile(src, source);
        int status = -1;
        std::string out = testsupport::runCommand(
            "cc -shared -fPIC -DMARKER='\"" + marker(name).string() + "\"' -o '" + lib(name).string() + "' '" +
                src.string() + "' 2>&1",
            &status);
        ASSERT_EQ(status, 0) << out;
    }

    static fs::path lib(const std::string& name) { return *dir_ / ("lib" + name + ".so"); }
    static fs::path marker(const std::string& name) { return *dir_ / (name + ".marker"); }

    static std::unique_ptr<TempDir> dir_;
};

std::unique_ptr<TempDir> RegUnregTest::dir_;

}  // namespace

TEST_F(RegUnregTest, RegistersAndUnregistersAndUnloadsTheLibrary) {
    EXPECT_EQ(regunreg(lib("good").string(), 1), RegUnregRegistered);
    EXPECT_EQ(readFile(marker("good")), "register;unloaded;");
    EXPECT_EQ(regunreg(lib("good").string(), 2), RegUnregUnregistered);
    EXPECT_EQ(readFile(marker("good")), "register;unloaded;unregister;unloaded;");
}

TEST_F(RegUnregTest, FailuresReportTheirCodes) {
    EXPECT_EQ(regunreg("", 1), RegUnregNoEntryPoint);
    EXPECT_EQ(regunreg((*dir_ / "gibtsnicht.so").string(), 1), RegUnregLoadFailed);
    // A file that is no library.
    writeFile(*dir_ / "kaputt.so", "kein ELF");
    EXPECT_EQ(regunreg((*dir_ / "kaputt.so").string(), 2), RegUnregLoadFailed);
    // Loaded, but without entry points: unloaded again, nothing called.
    EXPECT_EQ(regunreg(lib("none").string(), 1), RegUnregNoEntryPoint);
    EXPECT_EQ(regunreg(lib("none").string(), 2), RegUnregNoEntryPoint);
    EXPECT_EQ(readFile(marker("none")), "unloaded;unloaded;");
    // An unknown mode calls nothing.
    const std::string before = readFile(marker("good"));
    EXPECT_EQ(regunreg(lib("good").string(), 0), RegUnregNoEntryPoint);
    EXPECT_EQ(regunreg(lib("good").string(), 3), RegUnregNoEntryPoint);
    EXPECT_EQ(readFile(marker("good")), before);
}

// Waits the full ten seconds once; everything about the timeout is checked here.
TEST_F(RegUnregTest, EntryPointStillRunningAfterTenSecondsDoesNotBlockTheCaller) {
    EXPECT_EQ(regunreg(lib("slow").string(), 1), RegUnregThreadFailed);
    // The caller is back while the entry point (12 s) still runs: no marker yet.
    EXPECT_FALSE(fs::exists(marker("slow")));
}
