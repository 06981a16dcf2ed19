#include "common/profile.h"
#include "common/fileio.h"

#include "common/textcodec.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace profile {
namespace {

// The file is kept as its lines, each with the line end it had, so that everything a write
// does not touch comes out byte for byte. CR LF, LF and a lone CR each end a line, as Windows
// reads them.
enum class Eol : unsigned char { None, Lf, Cr, CrLf };

struct Line {
    std::string text;  // without the line end
    Eol eol = Eol::CrLf;
};

// Blanks as the Windows profile reader trims them; ^Z is the DOS end-of-file mark.
constexpr bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string_view trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && isBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

enum class Kind { Blank, Comment, Section, Key, Bare };

struct Parsed {
    Kind kind = Kind::Blank;
    std::string_view name;   // section name, key name, or the whole text of a bare line
    std::string_view value;  // Key only
};

Parsed parseLine(std::string_view text) {
    const std::string_view t = trim(text);
    // Windows sees text up to a NUL byte: a line empty before its first NUL and without '='
    // is no entry (a file saved with its terminating NUL ends in such a line).
    if (t.empty() || (t[0] == '\0' && t.find('=') == std::string_view::npos)) return {};
    if (t[0] == '[') {
        // The name runs to the last ']'; a '[' line without one is an ordinary line.
        const size_t close = t.rfind(']');
        if (close != std::string_view::npos) return {Kind::Section, trim(t.substr(1, close - 1)), {}};
    }
    if (t[0] == ';') return {Kind::Comment, {}, {}};
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {Kind::Bare, t, {}};
    // "=value" is an entry with an empty name: listed with its section, read with key "".
    return {Kind::Key, trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

// Lower case of Windows-1252 bytes: ASCII, the Latin-1 letters and Š Œ Ž Ÿ.
constexpr std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 0x20);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 0x20);
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}
constexpr auto kFold = makeFoldTable();

std::string foldCp1252(std::string_view s) {
    std::string out(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<char>(kFold[static_cast<unsigned char>(s[i])]);
    return out;
}

// One pair of matching surrounding quotes is not part of the value.
std::string_view stripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Optional blanks and sign, then decimal digits; anything else ends the number.
long parseLong(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    unsigned long long magnitude = 0;
    const unsigned long long limit = negative ? 0ULL + LONG_MAX + 1ULL : LONG_MAX;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(s[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;  // saturate, never wrap
    }
    if (!negative) return static_cast<long>(magnitude);
    return magnitude > static_cast<unsigned long long>(LONG_MAX) ? LONG_MIN : -static_cast<long>(magnitude);
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Reads the whole file. False when it exists but cannot be read; a missing file reads as empty.
bool readAll(const fs::path& file, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}



}  // namespace

// ---------------------------------------------------------------------------------------

struct Section {
    bool hasHeader = false;  // false only for the lines before the first section
    std::string name;        // trimmed, in the file's encoding
    Line header;
    std::vector<Line> body;
    size_t insertAt = 0;     // new keys go here: after the last non-blank line
    std::unordered_map<std::string, size_t> keys;  // folded name -> body index, first occurrence
};

struct Document::Impl {
    bool utf8 = false;  // file started with a UTF-8 byte order mark (written back with it)
    std::vector<Section> sections;  // [0]: lines before the first section
    std::unordered_map<std::string, size_t> byName;  // folded name -> first section of that name
    mutable bool modified = false;

    Impl() { sections.emplace_back(); }

    std::string toFile(std::string_view utf8Text) const {
        return utf8 ? std::string(utf8Text) : textcodec::utf8ToCp1252(utf8Text);
    }
    std::string fromFile(std::string_view fileText) const {
        return utf8 ? std::string(fileText) : textcodec::cp1252ToUtf8(fileText);
    }
    std::string fold(std::string_view fileText) const {
        if (utf8) return foldCp1252(textcodec::utf8ToCp1252(fileText));
        return foldCp1252(fileText);
    }
    // Lookup key of a name given through the interface.
    std::string foldApi(std::string_view utf8Name) const { return foldCp1252(textcodec::utf8ToCp1252(trim(utf8Name))); }

    void parse(std::string_view bytes);
    void addLine(Line&& line);
    const Section* findSection(std::string_view utf8Name) const;
    const Line* findKey(std::string_view section, std::string_view key) const;
    bool isEmpty() const { return sections.size() == 1 && sections[0].body.empty(); }
};

void Document::Impl::addLine(Line&& line) {
    const Parsed p = parseLine(line.text);
    if (p.kind == Kind::Section) {
        Section s;
        s.hasHeader = true;
        s.name = std::string(p.name);
        byName.try_emplace(fold(s.name), sections.size());  // "[]" is section "", as on Windows
        s.header = std::move(line);
        sections.push_back(std::move(s));
        return;
    }
    Section& s = sections.back();
    if ((p.kind == Kind::Key || p.kind == Kind::Bare) && s.hasHeader) s.keys.try_emplace(fold(p.name), s.body.size());
    s.body.push_back(std::move(line));
    if (p.kind != Kind::Blank) s.insertAt = s.body.size();
}

void Document::Impl::parse(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        utf8 = true;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", pos);
        Line line;
        line.text = std::string(bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        if (end == std::string_view::npos) {
            line.eol = Eol::None;
            pos = bytes.size();
        } else if (bytes[end] == '\n') {
            line.eol = Eol::Lf;
            pos = end + 1;
        } else if (end + 1 < bytes.size() && bytes[end + 1] == '\n') {
            line.eol = Eol::CrLf;
            pos = end + 2;
        } else {
            line.eol = Eol::Cr;
            pos = end + 1;
        }
        addLine(std::move(line));
    }
}

const Section* Document::Impl::findSection(std::string_view utf8Name) const {
    const auto it = byName.find(foldApi(utf8Name));
    return it == byName.end() ? nullptr : &sections[it->second];
}

const Line* Document::Impl::findKey(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    const auto it = s->keys.find(foldApi(key));
    return it == s->keys.end() ? nullptr : &s->body[it->second];
}

// ---------------------------------------------------------------------------------------

Document::Document() : d(std::make_unique<Impl>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

std::optional<Document> Document::tryLoad(const fs::path& file) {
    std::string bytes;
    if (!readAll(file, bytes)) return std::nullopt;
    return fromBytes(bytes);
}

Document Document::load(const fs::path& file) {
    std::optional<Document> doc = tryLoad(file);
    return doc ? std::move(*doc) : Document();
}

Document Document::fromBytes(std::string_view cp1252Bytes) {
    Document doc;
    doc.d->parse(cp1252Bytes);
    return doc;
}

std::string Document::getString(std::string_view section, std::string_view key, std::string_view def) const {
    if (const Line* line = d->findKey(section, key)) {
        const Parsed p = parseLine(line->text);
        if (p.kind == Kind::Key) return d->fromFile(stripQuotes(p.value));
    }
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(stripQuotes(def));
}

long Document::getInt(std::string_view section, std::string_view key) const {
    return parseLong(getString(section, key, ""));
}

bool Document::setString(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    value = trim(value);
    // Refuse what could not be read back as written: the line structure would break.
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';')
        return false;

    const std::string fileValue = d->toFile(value);
    const auto sit = d->byName.find(d->foldApi(section));
    if (sit != d->byName.end()) {
        Section& s = d->sections[sit->second];
        const std::string folded = d->foldApi(key);
        const auto kit = s.keys.find(folded);
        if (kit != s.keys.end()) {
            // In place; the key keeps its spelling from the file.
            Line& line = s.body[kit->second];
            const Parsed p = parseLine(line.text);
            if (p.kind == Kind::Key && p.value == fileValue) return true;
            std::string text;
            text.reserve(p.name.size() + 1 + fileValue.size());
            text.append(p.name).append(1, '=').append(fileValue);
            line.text = std::move(text);
            d->modified = true;
            return true;
        }
        Line& before = s.insertAt == 0 ? s.header : s.body[s.insertAt - 1];
        if (before.eol == Eol::None) before.eol = Eol::CrLf;
        s.body.insert(s.body.begin() + static_cast<std::ptrdiff_t>(s.insertAt),
                      Line{d->toFile(key) + "=" + fileValue, Eol::CrLf});
        s.keys.emplace(folded, s.insertAt);
        ++s.insertAt;
        d->modified = true;
        return true;
    }

    // New section right after the last line of the file, without a blank line, as Windows
    // writes it.
    if (!d->isEmpty()) {
        Section& last = d->sections.back();
        Line& lastLine = last.body.empty() ? last.header : last.body.back();
        if (lastLine.eol == Eol::None) lastLine.eol = Eol::CrLf;
    }
    d->addLine(Line{"[" + d->toFile(section) + "]", Eol::CrLf});
    d->addLine(Line{d->toFile(key) + "=" + fileValue, Eol::CrLf});
    d->modified = true;
    return true;
}

bool Document::modified() const { return d->modified; }

std::vector<std::string> Document::sectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : d->sections)
        if (s.hasHeader && !s.name.empty()) names.push_back(d->fromFile(s.name));
    return names;
}

std::vector<std::string> Document::sectionLines(std::string_view section) const {
    std::vector<std::string> lines;
    const Section* s = d->findSection(section);
    if (!s) return lines;
    for (const Line& line : s->body) {
        const Parsed p = parseLine(line.text);
        if (p.kind == Kind::Key) {
            std::string text(p.name);
            text.append(1, '=').append(p.value);
            lines.push_back(d->fromFile(text));
        } else if (p.kind == Kind::Bare) {
            lines.push_back(d->fromFile(p.name));
        }
    }
    return lines;
}

std::string Document::toBytes() const {
    size_t size = d->utf8 ? kUtf8Bom.size() : 0;
    auto measure = [&](const Line& l) { size += l.text.size() + 2; };
    for (const Section& s : d->sections) {
        if (s.hasHeader) measure(s.header);
        for (const Line& l : s.body) measure(l);
    }
    std::string out;
    out.reserve(size);
    if (d->utf8) out.append(kUtf8Bom);
    auto put = [&out](const Line& l) {
        out.append(l.text);
        if (l.eol == Eol::CrLf)
            out.append("\r\n");
        else if (l.eol == Eol::Lf)
            out.append(1, '\n');
        else if (l.eol == Eol::Cr)
            out.append(1, '\r');
    };
    for (const Section& s : d->sections) {
        if (s.hasHeader) put(s.header);
        for (const Line& l : s.body) put(l);
    }
    return out;
}

bool Document::save(const fs::path& file) const {
    if (!fileio::replaceFile(file, toBytes())) return false;
    d->modified = false;
    return true;
}

// ---------------------------------------------------------------------------------------

std::string getString(std::string_view section, std::string_view key, std::string_view def, const fs::path& file) {
    return Document::load(file).getString(section, key, def);
}

long getInt(std::string_view section, std::string_view key, const fs::path& file) {
    return Document::load(file).getInt(section, key);
}

bool writeString(std::string_view section, std::string_view key, std::string_view value, const fs::path& file) {
    std::optional<Document> doc = Document::tryLoad(file);
    if (!doc || !doc->setString(section, key, value)) return false;
    return !doc->modified() || doc->save(file);
}

std::vector<std::string> sectionNames(const fs::path& file) { return Document::load(file).sectionNames(); }

std::vector<std::string> sectionLines(std::string_view section, const fs::path& file) {
    return Document::load(file).sectionLines(section);
}

Writer::Writer(fs::path file) : file_(std::move(file)) {
    std::optional<Document> doc = Document::tryLoad(file_);
    if (doc)
        doc_ = std::move(*doc);
    else
        unreadable_ = true;
}

Writer::~Writer() { flush(); }

bool Writer::writeString(std::string_view section, std::string_view key, std::string_view value) {
    return !unreadable_ && doc_.setString(section, key, value);
}

bool Writer::flush() {
    if (unreadable_) return false;
    return !doc_.modified() || doc_.save(file_);
}

}  // namespace profile
