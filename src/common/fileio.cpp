#include "fileio.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fileio {

static bool writeAllFd(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool replaceFile(const fs::path& target, std::string_view bytes) {
    std::error_code ec;
    fs::path file = target;
    if (fs::is_symlink(target, ec)) {  // write through a link, do not replace the link
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return false;
        file = resolved;
    }
    if (file.filename().empty()) return false;
    const fs::path dir = file.parent_path();
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    fs::path tmp;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir / ("." + file.filename().string() + ".tmp" + std::to_string(::getpid()) + "_" +
                     std::to_string(counter++));
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0) {
        // keeping the old permissions is a courtesy; the content matters
    }
    bool ok = writeAllFd(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

}  // namespace fileio
