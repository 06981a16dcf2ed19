#include "testsupport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("kickora-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path fixture(const std::string& relative) { return fs::path(KICKORA_FIXTURES) / relative; }

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string runCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return out;
    }
    std::array<char, 65536> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
    int rc = ::pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string treeListing(const fs::path& root) {
    std::vector<std::string> lines;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
        const fs::file_status st = e.symlink_status();
        std::ostringstream line;
        line << fs::relative(e.path(), root).string() << '\t' << static_cast<int>(st.type()) << '\t'
             << static_cast<unsigned>(st.permissions()) << '\t'
             << e.last_write_time().time_since_epoch().count();
        if (fs::is_regular_file(st)) line << '\t' << e.file_size() << '\t' << std::hash<std::string>{}(readFile(e.path()));
        lines.push_back(line.str());
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& l : lines) out += l + '\n';
    return out;
}

void setWritable(const fs::path& root, bool writable) {
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const auto apply = [&](const fs::path& p) {
        if (fs::is_symlink(fs::symlink_status(p))) return;
        fs::permissions(p, writable ? fs::perms::owner_write : write,
                        writable ? fs::perm_options::add : fs::perm_options::remove);
    };
    apply(root);
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) apply(e.path());
}

}  // namespace testsupport
