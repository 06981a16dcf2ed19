#pragma once
// Base of the kickoratool command tests: one demo world per test program, a fresh copy of its
// database for every test, and the tool run as a script runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testsupport.h"

namespace tooltest {

inline std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class DemoWorldCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world_ = std::make_unique<testsupport::TempDir>();
        int status = -1;
        testsupport::runCommand(std::string(KICKORATOOL) + " demo " + q(world_->path() / "w") + " --seed 5 >/dev/null 2>&1",
                                &status);
        ASSERT_EQ(status, 0);
    }
    // Beside the world: a Zentor demo with the country 1 exported into x/de.lan.
    static void exportCountry() {
        const std::string tool = KICKORATOOL;
        const std::filesystem::path d = world_->path();
        int status = -1;
        testsupport::runCommand(tool + " demo-zentor " + q(d / "z.db") + " && " + tool + " zexport " + q(d / "z.db") +
                                    " --country 1 " + q(d / "x" / "de.lan") + " >/dev/null",
                                &status);
        ASSERT_EQ(status, 0);
    }
    static void TearDownTestSuite() { world_.reset(); }
    static std::filesystem::path worldDatabase() { return world_->path() / "w" / "kickora.mdb"; }
    static std::filesystem::path exported(const std::string& relative) { return world_->path() / "x" / relative; }

    void SetUp() override {
        ASSERT_TRUE(world_);
        std::filesystem::copy_file(worldDatabase(), db_);
    }

    Result tool(const std::string& args) {
        Result r;
        const std::filesystem::path err = dir_ / "stderr.txt";
        r.out = testsupport::runCommand(std::string(KICKORATOOL) + " " + args + " 2>" + q(err), &r.status);
        r.err = testsupport::readFile(err);
        return r;
    }
    // Each call must exit with its status; with `unchanged` the database bytes stay as they were.
    void expectExits(const std::vector<std::pair<std::string, int>>& calls, bool unchanged = true) {
        const std::string before = testsupport::readFile(db_);
        for (const auto& [args, status] : calls) {
            const Result r = tool(args);
            EXPECT_EQ(r.status, status) << args << ": " << r.err;
            if (status != 0) EXPECT_FALSE(r.err.empty()) << args;
            if (unchanged) EXPECT_TRUE(testsupport::readFile(db_) == before) << args;
        }
    }
    // The rows of a query as the sql command prints them.
    std::string rows(const std::string& select) {
        const Result r = tool("sql " + q(db_) + " " + q(select));
        EXPECT_EQ(r.status, 0) << select << ": " << r.err;
        return r.out;
    }
    // The first value below the header line, without its line end.
    std::string value(const std::string& select) {
        const std::string out = rows(select);
        const auto nl = out.find('\n');
        return nl == std::string::npos ? std::string() : out.substr(nl + 1, out.find('\n', nl + 1) - nl - 1);
    }
    long long number(const std::string& select) {
        const std::string v = value(select);
        return v.empty() ? -1 : std::stoll(v);
    }
    void sql(const std::string& statement) { rows(statement); }

    inline static std::unique_ptr<testsupport::TempDir> world_;
    testsupport::TempDir dir_;
    std::filesystem::path db_ = dir_ / "kickora.mdb";
};

}  // namespace tooltest
