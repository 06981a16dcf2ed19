#include "editor/graphics/crests.h"
#include "editor/graphics/pictures.h"

#include "common/paths.h"
#include "common/profile.h"
#include "common/progress.h"
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"

#include <QImage>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>
#include <system_error>

namespace fs = std::filesystem;

namespace crests {

namespace {

std::string trimmed(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// Percentages for a progress bar that runs from 0 to max.
class Percent {
public:
    Percent(ProgressSink& sink, long max) : sink_(sink), max_(max > 0 ? max : 1) {}
    void set(long value)
    {
        int p = static_cast<int>(std::min<long>(100, value * 100 / max_));
        if (p != last_) {
            last_ = p;
            sink_.percent(p);
        }
    }

private:
    ProgressSink& sink_;
    long max_;
    int last_ = -1;
};

// Writes the file in place: a crest of the same size overwrites its old blocks instead of
// freeing and allocating them again, which is what makes rewriting a thousand crests slow.
// Only a longer old file is cut (truncating to the same size still costs the file system).
void writeWhole(const fs::path& file, const gfx::Bytes& bytes)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    struct stat st {};
    ok = ok && ::fstat(fd, &st) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    if (ok && st.st_size > static_cast<off_t>(bytes.size()))
        ok = ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok)
        throw gfx::Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
}

}  // namespace

namespace {
std::string crestName(int number) { return "vereins_wappen_" + std::to_string(number) + ".tga"; }
}  // namespace

// Crest folders copied from Windows may name their files in any letter case.
fs::path crestFile(const std::string& folder, int number) { return paths::findFile(fs::path(folder + crestName(number))); }
fs::path defaultTga(const std::string& folder) { return paths::findFile(fs::path(folder + "default.tga")); }
fs::path defaultGfp(const std::string& folder) { return paths::findFile(fs::path(folder + "default.gfp")); }
fs::path memberList(const std::string& folder) { return paths::findFile(fs::path(folder + "wa.lst")); }

fs::path loadwappen(const std::string& folder, int number)
{
    const fs::path file = crestFile(folder, number);
    std::error_code ec;
    if (!fs::exists(file, ec))
        fs::copy_file(defaultTga(folder), file, ec);
    return file;
}

void loadCrestPreviews(const std::string& folder, const std::function<void(int, const QImage&)>& cell,
                       ProgressSink* progress)
{
    NullProgress none;
    ProgressSink& sink = progress ? *progress : none;
    sink.status(kStatusLoading);
    auto fit = [](QImage img) {
        if (!img.isNull() && (img.width() > kCellSize || img.height() > kCellSize))
            img = img.scaled(kCellSize, kCellSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return img;
    };
    // default.tga is read and decoded once; a missing crest gets its bytes and its picture.
    gfx::Bytes fallback;
    QImage fallbackImage;
    bool fallbackRead = false;
    const paths::FolderLookup lookup{fs::path(folder)};
    Percent pct(sink, kCount - 1);
    for (int n = 0; n < kCount; ++n) {
        pct.set(n);
        const fs::path file = lookup.find(crestName(n));
        QImage img = gfx::loadPicture(file);
        std::error_code ec;
        if (img.isNull() && !fs::exists(file, ec)) {
            if (!fallbackRead) {
                fallbackRead = true;
                try {
                    fallback = gfx::readBinaryFile(defaultTga(folder));
                } catch (const gfx::Error&) {
                }
                fallbackImage = fit(gfx::loadPicture(defaultTga(folder)));
            }
            if (!fallback.empty()) {
                try {
                    writeWhole(file, fallback);
                } catch (const gfx::Error&) {
                }
            }
            cell(n, fallbackImage);
            continue;
        }
        cell(n, fit(img));
    }
    sink.status("");
}

std::vector<QImage> loadCrestPreviews(const std::string& folder, ProgressSink* progress)
{
    std::vector<QImage> out(kCount);
    loadCrestPreviews(folder, [&](int n, const QImage& img) { out[n] = img; }, progress);
    return out;
}

namespace {

// Converts and writes crest files on a second thread while the next member is inflated: the
// import spends its time half in zlib and half in conversion and the file system.
class FileWriterThread {
public:
    FileWriterThread() : thread_([this] { run(); }) {}
    ~FileWriterThread() { finish(); }

    void push(fs::path file, gfx::GfpImage image, std::string failMessage)
    {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return queue_.size() < 64; });
        queue_.push_back({std::move(file), std::move(image), std::move(failMessage)});
        ready_.notify_one();
    }
    // Waits for every file; returns the messages of the files that could not be written.
    std::vector<std::string> finish()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
            ready_.notify_one();
        }
        if (thread_.joinable())
            thread_.join();
        return std::move(failures_);
    }
    int written() const { return written_; }

private:
    struct Job {
        fs::path file;
        gfx::GfpImage image;
        std::string failMessage;
    };
    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return done_ || !queue_.empty(); });
                if (queue_.empty())
                    return;
                job = std::move(queue_.front());
                queue_.pop_front();
                room_.notify_one();
            }
            try {
                gfx::gfpToTga(job.image, tga_);
                writeWhole(job.file, tga_);
                ++written_;
            } catch (const gfx::Error& e) {
                failures_.push_back(job.failMessage + e.what());
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::deque<Job> queue_;
    bool done_ = false;
    std::vector<std::string> failures_;  // only touched by the thread until it is joined
    gfx::Bytes tga_;                     // the thread's picture buffer, reused
    int written_ = 0;
    std::thread thread_;
};

}  // namespace

ImportResult importCrests(const std::string& folder, const fs::path& archive, ProgressSink& progress)
{
    ImportResult r;
    progress.status(kStatusImport);
    struct ClearStatus {
        ProgressSink& p;
        ~ClearStatus() { p.status(""); }
    } clear{progress};
    if (!gfx::isArchive(archive))
        return r;
    r.archive = true;
    gfx::ResArchive a = gfx::ResArchive::open(archive);
    r.members = static_cast<int>(a.members().size());

    // Everything is measured from the headers before anything is written: a member larger
    // than a picture of the game is skipped, an archive that would expand beyond the bound
    // in all is refused.
    auto prefixOf = [&](std::size_t i) { return "Eintrag " + std::to_string(i) + " (" + a.members()[i].name + ")"; };
    auto skipped = [&](std::size_t i, const gfx::Error& e) {
        const std::string prefix = prefixOf(i);
        std::string what = e.what();
        if (what.rfind(prefix + ": ", 0) == 0)
            what = what.substr(prefix.size() + 2);
        r.messages.push_back(prefix + " übersprungen: " + what);
    };
    std::vector<std::size_t> wanted;
    std::uint64_t expanded = 0;
    for (std::size_t i = 0; i < a.members().size(); ++i) {
        const gfx::ResMember& m = a.members()[i];
        if (m.type != gfx::kCrestType)
            continue;
        const std::string prefix = prefixOf(i);
        // Names come from the file: only plain names inside the crest folder.
        if (!gfx::isPlainFileName(m.name)) {
            r.messages.push_back(prefix + " übersprungen: der Name ist kein einfacher Dateiname.");
            continue;
        }
        try {
            const gfx::GfpHeaders h = a.memberHeaders(i);
            gfx::checkMemberSize(h);
            expanded += 18 + std::uint64_t(h.width()) * h.height() * 3;
            wanted.push_back(i);
        } catch (const gfx::Error& e) {
            skipped(i, e);
        }
    }
    if (expanded > gfx::kMaxExpandedBytes)
        throw gfx::Error("Die Wappen des Archivs " + archive.filename().string() + " ergäben zusammen " +
                         std::to_string(expanded >> 20) + " MB; mehr als " +
                         std::to_string(gfx::kMaxExpandedBytes >> 20) +
                         " MB nimmt der Import nicht an. Es wurde nichts geschrieben.");

    std::error_code ec;
    fs::create_directories(fs::path(folder), ec);
    Percent pct(progress, r.members - 1);
    const paths::FolderLookup lookup{fs::path(folder)};
    FileWriterThread writer;
    for (std::size_t i : wanted) {
        const gfx::ResMember& m = a.members()[i];
        pct.set(static_cast<long>(i));
        try {
            gfx::Bytes gfp = a.memberGfp(i);
            // A crest of the same name in another letter case is overwritten, not doubled.
            writer.push(lookup.find(m.name + ".tga"), gfx::decodeGfp(gfp.data(), gfp.size()),
                        prefixOf(i) + " übersprungen: ");
        } catch (const gfx::Error& e) {
            skipped(i, e);
        }
    }
    for (std::string& m : writer.finish())
        r.messages.push_back(std::move(m));
    r.imported = writer.written();
    return r;
}

int exportCrests(const std::string& folder, const fs::path& archive, ProgressSink& progress)
{
    progress.status(kStatusExport);
    struct ClearStatus {
        ProgressSink& p;
        ~ClearStatus() { p.status(""); }
    } clear{progress};

    const fs::path list = memberList(folder);
    std::error_code ec;
    if (!fs::exists(list, ec))
        throw gfx::Error("Die Wappenliste " + list.string() + " fehlt.");
    profile::Document doc = profile::Document::load(list);
    const std::vector<std::string> sections = doc.sectionNames();
    if (sections.empty())
        throw gfx::Error("Die Wappenliste " + list.string() + " ist leer.");
    const long count = doc.getInt(sections[0], "anzahl");
    const long type = doc.getInt(sections[0], "type");
    if (count < 0 || count > 1000000)
        throw gfx::Error("Die Wappenliste nennt eine unmögliche Anzahl (" + std::to_string(count) + ").");
    if (static_cast<std::size_t>(count) + 1 > sections.size())
        throw gfx::Error("Die Wappenliste nennt " + std::to_string(count) + " Wappen, enthält aber nur " +
                         std::to_string(sections.size() - 1) + ".");
    if (type < 0)
        throw gfx::Error("Die Wappenliste nennt einen unmöglichen Archivtyp.");

    const gfx::GfpHeaders templ = gfx::readGfp(defaultGfp(folder)).headers;
    gfx::ResArchiveWriter writer(archive, static_cast<std::uint32_t>(type));
    const paths::FolderLookup lookup{fs::path(folder)};
    Percent pct(progress, count);
    for (long i = 1; i <= count; ++i) {
        pct.set(i);
        const std::string& name = sections[static_cast<std::size_t>(i)];
        const std::string base = trimmed(name);
        if (!gfx::isPlainFileName(base))
            throw gfx::Error("Der Wappenname \"" + name + "\" ist kein einfacher Dateiname.");
        const fs::path tga = lookup.find(base + ".tga");
        if (!fs::exists(tga, ec))
            throw gfx::Error("Das Wappen " + tga.string() + " fehlt.");
        gfx::Pixels565 px = gfx::tgaFileToPixels(tga);
        if (px.empty())
            throw gfx::Error(tga.string() + " ist kein unkomprimiertes 24-Bit-TGA-Bild.");
        writer.add(name, gfx::encodeGfp(templ, px.width, px.height, px.data, true));
    }
    progress.status(kStatusPack);
    writer.finish();
    return static_cast<int>(count);
}

}  // namespace crests
