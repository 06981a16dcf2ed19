#include "editor/graphics/resarchive.h"

#include "common/textcodec.h"

#include <cstring>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace gfx {

namespace {

constexpr std::size_t kHeadSize = 12;
constexpr std::size_t kDirEntrySize = 8;

std::uint32_t get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

bool isArchive(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char magic[4];
    return in.read(magic, 4) && std::memcmp(magic, "RESF", 4) == 0;
}

bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

ResArchive ResArchive::open(const fs::path& file)
{
    ResArchive a;
    a.path_ = file;
    a.in_.open(file, std::ios::binary);
    if (!a.in_)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    a.in_.seekg(0, std::ios::end);
    const std::streamoff end = a.in_.tellg();
    if (end < 0)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    a.size_ = static_cast<std::uint64_t>(end);
    if (a.size_ < kHeadSize)
        throw Error("Das Archiv " + file.filename().string() + " ist kürzer als sein Kopf.");
    // Archives of the game are a few megabytes: one read instead of a seek per member.
    if (a.size_ <= kWholeFileLimit) {
        Bytes all(static_cast<std::size_t>(a.size_));
        a.readAt(0, all.data(), all.size());
        a.whole_ = std::move(all);
        a.in_.close();
    }
    a.readDirectory(file.filename().string());
    return a;
}

ResArchive ResArchive::fromBytes(Bytes bytes, const std::string& name)
{
    ResArchive a;
    a.path_ = name;
    a.size_ = bytes.size();
    if (a.size_ < kHeadSize)
        throw Error("Das Archiv " + name + " ist kürzer als sein Kopf.");
    a.whole_ = std::move(bytes);
    a.readDirectory(name);
    return a;
}

void ResArchive::readDirectory(const std::string& name)
{
    std::uint8_t head[kHeadSize];
    readAt(0, head, kHeadSize);
    if (std::memcmp(head, "RESF", 4) != 0)
        throw Error(name + " ist kein Ressourcenarchiv.");
    const std::uint64_t count = get32(head + 4);
    directoryOffset_ = get32(head + 8);
    if (directoryOffset_ < kHeadSize || directoryOffset_ > size_)
        throw Error("Das Verzeichnis des Archivs " + name + " liegt außerhalb der Datei.");
    if (count * (kDirEntrySize + kNameBytes) > size_ - directoryOffset_)
        throw Error("Das Archiv " + name + " nennt " + std::to_string(count) +
                    " Einträge, die nicht in die Datei passen.");

    Bytes table(static_cast<std::size_t>(count * (kDirEntrySize + kNameBytes)));
    if (!table.empty())
        readAt(directoryOffset_, table.data(), table.size());
    members_.resize(static_cast<std::size_t>(count));
    const std::uint8_t* names = table.data() + count * kDirEntrySize;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        ResMember& m = members_[i];
        m.type = get32(table.data() + i * kDirEntrySize);
        m.offset = get32(table.data() + i * kDirEntrySize + 4);
        const char* n = reinterpret_cast<const char*>(names + i * kNameBytes);
        m.name = textcodec::cp1252ToUtf8(std::string_view(n, strnlen(n, kNameBytes)));
    }
}

void ResArchive::readAt(std::uint64_t offset, void* dst, std::size_t n)
{
    if (!whole_.empty()) {
        if (offset > whole_.size() || n > whole_.size() - offset)
            throw Error("Die Datei " + path_.string() + " kann nicht gelesen werden.");
        std::memcpy(dst, whole_.data() + offset, n);
        return;
    }
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    if (!in_.read(static_cast<char*>(dst), static_cast<std::streamsize>(n)))
        throw Error("Die Datei " + path_.string() + " kann nicht gelesen werden.");
}

std::string ResArchive::describe(std::size_t index) const
{
    return "Eintrag " + std::to_string(index) + " (" + members_[index].name + ")";
}

ResArchive::Span ResArchive::locate(std::size_t index)
{
    if (index >= members_.size())
        throw Error("Das Archiv hat keinen Eintrag " + std::to_string(index) + ".");
    const ResMember& m = members_[index];
    try {
        std::uint64_t start = m.offset;
        std::uint64_t limit = size_;
        if (m.type == kLengthPrefixedType) {
            if (start + 4 > size_)
                throw Error("der Eintrag liegt außerhalb der Datei.");
            std::uint8_t len[4];
            readAt(start, len, 4);
            start += 4;
            if (get32(len) > size_ - start)
                throw Error("die Längenangabe reicht über das Dateiende hinaus.");
            limit = start + get32(len);
        }
        if (start + kGfpHeaderSize > limit)
            throw Error("der Eintrag liegt außerhalb der Datei.");
        std::uint8_t header[kGfpHeaderSize + 8];
        const std::size_t headBytes = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof header, limit - start));
        readAt(start, header, headBytes);
        // The header alone tells the length: pass what the file holds as available, checked
        // against the real end below without reading the pixel data twice.
        GfpHeaders h = parseGfpHeaders(header, headBytes);
        std::uint64_t total;
        if (h.compressedBlockSize() != 0)
            total = kGfpHeaderSize + std::uint64_t(h.compressedBlockSize());
        else
            total = kGfpHeaderSize + std::uint64_t(h.width()) * h.height() * h.bytesPerPixel();
        if (total > limit - start)
            throw Error("die Bilddaten reichen über das Dateiende hinaus.");
        return {start, total, h};
    } catch (const Error& e) {
        throw Error(describe(index) + ": " + e.what());
    }
}

GfpHeaders ResArchive::memberHeaders(std::size_t index) { return locate(index).headers; }

Bytes ResArchive::memberGfp(std::size_t index)
{
    const Span span = locate(index);
    try {
        Bytes out(static_cast<std::size_t>(span.size));
        readAt(span.start, out.data(), out.size());
        gfpFileSize(out.data(), out.size());  // every length field checked on the whole member
        return out;
    } catch (const Error& e) {
        throw Error(describe(index) + ": " + e.what());
    }
}

void checkMemberSize(const GfpHeaders& h)
{
    if (std::uint64_t(h.width()) * h.height() > kMaxMemberPixels)
        throw Error("das Bild ist mit " + std::to_string(h.width()) + " × " + std::to_string(h.height()) +
                    " Pixeln größer, als ein Bild des Spiels sein kann.");
}

std::string ResArchive::extract(std::size_t index, const fs::path& folder)
{
    Bytes gfp = memberGfp(index);
    const std::string& name = members_[index].name;
    if (!isPlainFileName(name))
        throw Error(describe(index) + ": der Name ist kein einfacher Dateiname.");
    std::error_code ec;
    fs::create_directories(folder, ec);
    writeFileReplacing(folder / (name + ".gfp"), gfp);
    return name;
}

ResArchiveWriter::ResArchiveWriter(const fs::path& target, std::uint32_t type) : target_(target), type_(type)
{
    static thread_local std::mt19937 rnd{std::random_device{}()};
    temp_ = target;
    temp_ += ".tmp" + std::to_string(rnd() % 1000000);
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_)
        throw Error("Die Datei " + target.string() + " kann nicht geschrieben werden.");
    std::uint8_t head[kHeadSize] = {'R', 'E', 'S', 'F'};
    write(head, kHeadSize);  // count and directory offset follow in finish()
}

ResArchiveWriter::~ResArchiveWriter()
{
    if (!finished_) {
        out_.close();
        std::error_code ec;
        fs::remove(temp_, ec);
    }
}

void ResArchiveWriter::write(const void* data, std::size_t n)
{
    if (position_ + n > 0xFFFFFFFFu)
        throw Error("Das Archiv würde größer als 4 GB.");
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(n));
    if (!out_)
        throw Error("Die Datei " + target_.string() + " kann nicht geschrieben werden.");
    position_ += n;
}

void ResArchiveWriter::add(const std::string& name, const std::uint8_t* gfp, std::size_t size)
{
    if (finished_)
        throw Error("Das Archiv ist schon geschlossen.");
    std::string stored = textcodec::utf8ToCp1252(name);
    if (stored.size() > kNameBytes)
        throw Error("Der Name " + name + " ist länger als 256 Zeichen.");
    Entry e{std::move(stored), static_cast<std::uint32_t>(position_)};
    if (type_ == kLengthPrefixedType) {
        if (size > 0xFFFFFFFFu)
            throw Error("Das Bild " + name + " ist zu groß.");
        std::uint8_t len[4];
        put32(len, static_cast<std::uint32_t>(size));
        write(len, 4);
    }
    write(gfp, size);
    entries_.push_back(std::move(e));
}

void ResArchiveWriter::finish()
{
    if (finished_)
        return;
    const std::uint32_t directory = static_cast<std::uint32_t>(position_);
    Bytes table(entries_.size() * (kDirEntrySize + kNameBytes), 0);
    std::uint8_t* names = table.data() + entries_.size() * kDirEntrySize;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        put32(table.data() + i * kDirEntrySize, type_);
        put32(table.data() + i * kDirEntrySize + 4, entries_[i].offset);
        // The name filled up with blanks, then every blank turned into NUL: inner blanks too.
        std::uint8_t* slot = names + i * kNameBytes;
        for (std::size_t k = 0; k < entries_[i].name.size(); ++k)
            slot[k] = entries_[i].name[k] == ' ' ? 0 : static_cast<std::uint8_t>(entries_[i].name[k]);
    }
    write(table.data(), table.size());
    std::uint8_t head[8];
    put32(head, static_cast<std::uint32_t>(entries_.size()));
    put32(head + 4, directory);
    out_.seekp(4);
    out_.write(reinterpret_cast<const char*>(head), 8);
    out_.flush();
    if (!out_)
        throw Error("Die Datei " + target_.string() + " kann nicht geschrieben werden.");
    out_.close();
    std::error_code ec;
    fs::rename(temp_, target_, ec);
    if (ec)
        throw Error("Die Datei " + target_.string() + " kann nicht ersetzt werden: " + ec.message());
    finished_ = true;
}

}  // namespace gfx
