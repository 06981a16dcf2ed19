#include "cfgformat.h"

#include "common/fileio.h"
#include "common/textcodec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <fstream>

#ifndef KICKORA_VERSION
#define KICKORA_VERSION "0.0.0"
#endif

namespace fs = std::filesystem;

namespace cfg {

namespace {

constexpr const char* kLegalNotice = "Freie Software, ohne jede Gewähr";

// Characters, not bytes: the key width counts what the file holds (STÄRKE is six bytes there).
int charCount(std::string_view utf8)
{
    int n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string twoDigits(int v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 32);
        if (a != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

void checkOneLine(std::string_view text)
{
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw Error("Der Wert \"" + std::string(text.substr(0, text.find_first_of("\r\n"))) +
                    "...\" enthält einen Zeilenumbruch und kann nicht in die Datei geschrieben werden.");
}

std::string keyLinePrefix(const Layout& layout, std::string_view key)
{
    const int len = charCount(key);
    if (len > layout.keyWidth)
        throw Error("Der Schlüssel " + std::string(key) + " ist länger als " + std::to_string(layout.keyWidth) +
                    " Zeichen.");
    std::string s;
    s.reserve(layout.indent.size() + static_cast<std::size_t>(layout.keyWidth) + 2);
    s += layout.indent;
    s += key;
    s.append(static_cast<std::size_t>(layout.keyWidth - len), ' ');
    return s;
}

void appendKeyLine(std::string& out, const Layout& layout, std::string_view key, std::string_view value)
{
    out += keyLinePrefix(layout, key);
    out += value;
    out += kEol;
}

void appendKeyAlone(std::string& out, const Layout& layout, std::string_view key)
{
    if (charCount(key) > layout.keyWidth)
        throw Error("Der Schlüssel " + std::string(key) + " ist länger als " + std::to_string(layout.keyWidth) +
                    " Zeichen.");
    out += layout.indent;
    out += key;
    out += kEol;
}

std::string inQuotes(std::string_view text)
{
    checkOneLine(text);
    std::string s;
    s.reserve(text.size() + 2);
    s += '"';
    s += text;
    s += '"';
    return s;
}

std::string bare(std::string_view text)
{
    checkOneLine(text);
    return std::string(text);
}

ColumnKind kindOfDeclaredType(std::string_view t)
{
    t = trim(t);
    for (const char* p : {"VARCHAR", "CHAR", "LONGTEXT", "TEXT", "MEMO", "NVARCHAR", "NCHAR"})
        if (startsWithNoCase(t, p))
            return ColumnKind::Text;
    for (const char* p : {"BOOLEAN", "BIT", "YESNO"})
        if (startsWithNoCase(t, p) && (t.size() == std::string_view(p).size() || t[std::string_view(p).size()] == '('))
            return ColumnKind::YesNo;
    return ColumnKind::Number;
}

std::string upperName(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z')
            out[i] = static_cast<char>(c - 32);
        else if (c == 0xC3 && i + 1 < out.size()) {
            unsigned char n = static_cast<unsigned char>(out[i + 1]);
            if (n == 0xA4 || n == 0xB6 || n == 0xBC)  // ä ö ü
                out[i + 1] = static_cast<char>(n - 0x20);
            ++i;
        }
    }
    return out;
}

DateTime systemNow()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string headerDate(const DateTime& d)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", d.year);
    std::string s = twoDigits(d.day) + "." + twoDigits(d.month) + "." + buf;
    if (d.hour == 0 && d.minute == 0 && d.second == 0)
        return s;
    return s + " " + twoDigits(d.hour) + ":" + twoDigits(d.minute) + ":" + twoDigits(d.second);
}

std::string exportDateLine(const DateTime& now)
{
    return ";Datenexport vom " + headerDate(now);
}

std::string programLine()
{
    return std::string(";Kickora Editor ") + KICKORA_VERSION + " " + kLegalNotice;
}

std::string teamProgramLine()
{
    // Major and minor of the version only, as the team files have always named it.
    std::string v = KICKORA_VERSION;
    std::size_t dot = v.find('.');
    std::size_t dot2 = dot == std::string::npos ? std::string::npos : v.find('.', dot + 1);
    return ";Kickora Editor v" + v.substr(0, dot2) + " " + kLegalNotice;
}

namespace {

std::string headerStart(const DateTime& now)
{
    std::string s;
    s += exportDateLine(now);
    s += kEol;
    s += programLine();
    s += kEol;
    s += kEol;
    s += kEol;
    s += "INFOTEXT \"test01\"";
    s += kEol;
    s += kEol;
    s += "        DATA_VERSION 1";
    s += kEol;
    s += kEol;
    return s;
}

}  // namespace

std::string clubHeaderBlock(const DateTime& now, long long lastClub)
{
    std::string s = headerStart(now);
    s += "        BASE_NATION \"Deutschland\"";
    s += kEol;
    s += kEol;
    s += "        LETZTES_TEAM " + std::to_string(lastClub);
    s += kEol;
    return s;
}

std::string playerHeaderBlock(const DateTime& now, long long lastPlayer)
{
    std::string s = headerStart(now);
    s += "        LETZTER_SPIELER " + std::to_string(lastPlayer);
    s += kEol;
    return s;
}

namespace {

// Length of the run of ASCII bytes at the start of s, eight bytes at a time.
std::size_t asciiRun(std::string_view s)
{
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ULL)
            break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

// The files are nearly all ASCII: copy its runs as they are and convert only the rest.
template <class Convert>
void appendConverted(std::string& out, std::string_view in, Convert convert)
{
    while (!in.empty()) {
        const std::size_t a = asciiRun(in);
        out.append(in.data(), a);
        in.remove_prefix(a);
        std::size_t b = 0;
        while (b < in.size() && static_cast<unsigned char>(in[b]) >= 0x80)
            ++b;
        if (b) {
            out += convert(in.substr(0, b));
            in.remove_prefix(b);
        }
    }
}

// Windows-1252 -> UTF-8 by a table made once from the codec: most lines of a file need
// nothing, and those that do hold a few umlauts.
std::string decodeLine(std::string_view bytes)
{
    static const auto table = [] {
        std::array<std::string, 128> t;
        for (int b = 0x80; b <= 0xFF; ++b)
            t[static_cast<std::size_t>(b - 0x80)] = textcodec::cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        return t;
    }();
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80)
            out += c;
        else
            out += table[u - 0x80];
    }
    return out;
}

}  // namespace

void appendFileBytes(std::string& out, std::string_view utf8)
{
    appendConverted(out, utf8, [](std::string_view s) { return textcodec::utf8ToCp1252(s); });
}

std::string toFileBytes(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    appendFileBytes(out, utf8);
    return out;
}

void writeFileAtomically(const fs::path& file, std::string_view bytes)
{
    if (!fileio::replaceFile(file, bytes))
        throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
}

LineReader::LineReader(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    const std::streamoff size = in.tellg();
    std::string raw(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
    in.seekg(0);
    if (size < 0 || !in.read(raw.data(), static_cast<std::streamsize>(raw.size())))
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    bytes_ = std::move(raw);
}

LineReader LineReader::fromBytes(std::string bytes)
{
    LineReader r;
    r.bytes_ = std::move(bytes);
    return r;
}

bool LineReader::next(std::string_view& line)
{
    if (pos_ >= bytes_.size())
        return false;
    const char* begin = bytes_.data() + pos_;
    const std::size_t left = bytes_.size() - pos_;
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', left));
    const std::size_t span = lf ? static_cast<std::size_t>(lf - begin) : left;
    const char* cr = static_cast<const char*>(std::memchr(begin, '\r', span));
    if (cr) {
        // CR LF, or a lone CR as used by old Macs.
        line = std::string_view(begin, static_cast<std::size_t>(cr - begin));
        pos_ += line.size() + 1;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
            ++pos_;
    } else {
        line = std::string_view(begin, span);
        pos_ += span + (lf ? 1 : 0);
    }
    ++line_;
    return true;
}

std::string_view LineReader::utf8(std::string_view bytes)
{
    if (asciiRun(bytes) == bytes.size())
        return bytes;
    return decoded_.emplace_back(decodeLine(bytes));
}

int LineReader::percent() const
{
    return bytes_.empty() ? 100 : static_cast<int>(pos_ * 100 / bytes_.size());
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::string_view trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

KeyLineStatus readKeyLine(std::string_view line, std::string_view key, KeyValue& kv)
{
    std::size_t b = 0;
    while (b < line.size() && isBlank(line[b]))
        ++b;
    std::string_view rest = line.substr(b);
    if (rest.substr(0, key.size()) != key || (rest.size() > key.size() && !isBlank(rest[key.size()])))
        return KeyLineStatus::WrongKey;
    kv = KeyValue{};
    rest.remove_prefix(key.size());
    if (rest.empty()) {
        kv.keyAlone = true;
        return KeyLineStatus::Ok;
    }
    rest = trim(rest);
    if (!rest.empty() && rest.front() == '"') {
        std::size_t last = rest.rfind('"');
        if (last == 0)
            return KeyLineStatus::UnclosedQuote;
        if (last + 1 != rest.size())
            return KeyLineStatus::TextAfterQuote;
        kv.quoted = true;
        kv.text = rest.substr(1, last - 1);
        return KeyLineStatus::Ok;
    }
    kv.text = rest;
    return KeyLineStatus::Ok;
}

std::string keyLineError(KeyLineStatus status, std::string_view keyName)
{
    switch (status) {
    case KeyLineStatus::WrongKey: return "erwartet wird der Schlüssel " + std::string(keyName);
    case KeyLineStatus::UnclosedQuote: return "das schließende Anführungszeichen fehlt";
    case KeyLineStatus::TextAfterQuote: return "hinter dem schließenden Anführungszeichen steht weiterer Text";
    default: return {};
    }
}

}  // namespace cfg
