#pragma once
// Shared pieces of the unit tests: a fresh temporary folder per test, fixture paths.
#include <filesystem>
#include <string>

namespace testsupport {

// A new empty folder under the system's temp folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::filesystem::path fixture(const std::string& relative);  // ../shared/fixtures/<relative>
std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);
// Runs a shell command and returns its standard output; exit code into *status when given.
std::string runCommand(const std::string& command, int* status = nullptr);

// One line per entry below root, sorted: relative path, kind, permissions, size, modification
// time and the bytes of files. Two equal listings mean nothing was written below root.
std::string treeListing(const std::filesystem::path& root);

// Adds or removes write permission for everybody on root and everything below it.
void setWritable(const std::filesystem::path& root, bool writable);

}  // namespace testsupport
