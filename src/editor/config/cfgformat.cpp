#include "cfgformat.h"

#include "common/textcodec.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>

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

void checkOneLine(std::string_view text)
{
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw Error("Der Wert \"" + std::string(text.substr(0, text.find_first_of("\r\n"))) +
                    "...\" enthält einen Zeilenumbruch und kann nicht in die Datei geschrieben werden.");
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

void appendKeyLine(std::string& out, const Layout& layout, std::string_view key, std::string_view value)
{
    const int len = charCount(key);
    if (len > layout.keyWidth)
        throw Error("Der Schlüssel " + std::string(key) + " ist länger als " + std::to_string(layout.keyWidth) +
                    " Zeichen.");
    out += layout.indent;
    out += key;
    out.append(static_cast<std::size_t>(layout.keyWidth - len), ' ');
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

std::string toFileBytes(std::string_view utf8)
{
    return textcodec::utf8ToCp1252(utf8);
}

void writeFileAtomically(const fs::path& file, std::string_view bytes)
{
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path temp = dir / ("." + file.filename().string() + "." + std::to_string(rd()) + ".tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(temp, ec);
            throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
        }
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
    }
}

LineReader::LineReader(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    text_ = textcodec::cp1252ToUtf8(s.str());
}

bool LineReader::next(std::string_view& line)
{
    if (pos_ >= text_.size())
        return false;
    std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string::npos) {
        line = std::string_view(text_).substr(pos_);
        pos_ = text_.size();
    } else {
        line = std::string_view(text_).substr(pos_, end - pos_);
        pos_ = end + 1;
        if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
            ++pos_;
    }
    ++line_;
    return true;
}

int LineReader::percent() const
{
    return text_.empty() ? 100 : static_cast<int>(pos_ * 100 / text_.size());
}

std::string_view trim(std::string_view s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::string readKeyLine(std::string_view line, std::string_view key, KeyValue& kv)
{
    std::size_t b = line.find_first_not_of(" \t");
    std::string_view rest = b == std::string_view::npos ? std::string_view() : line.substr(b);
    if (rest.substr(0, key.size()) != key ||
        (rest.size() > key.size() && rest[key.size()] != ' ' && rest[key.size()] != '\t'))
        return "erwartet wird der Schlüssel " + std::string(key);
    kv = KeyValue{};
    rest.remove_prefix(key.size());
    if (rest.empty()) {
        kv.keyAlone = true;
        return {};
    }
    rest = trim(rest);
    if (!rest.empty() && rest.front() == '"') {
        std::size_t last = rest.rfind('"');
        if (last == 0)
            return "das schließende Anführungszeichen fehlt";
        if (last + 1 != rest.size())
            return "hinter dem schließenden Anführungszeichen steht weiterer Text";
        kv.quoted = true;
        kv.text = rest.substr(1, last - 1);
        return {};
    }
    kv.text = rest;
    return {};
}

}  // namespace cfg
