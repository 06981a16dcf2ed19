#include "foundation/registry.h"

#include "common/textcodec.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "common/paths.h"

namespace fs = std::filesystem;

namespace {


std::string utf16ToUtf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        textcodec::appendUtf8(out, c);
    }
    return out;
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

// One character of the file: UTF-8 where the bytes form it, else the byte as Latin-1
// (older files may hold raw 8-bit text).
char32_t nextChar(std::string_view s, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len <= 1 || i + len > s.size()) {
        ++i;
        return c;
    }
    char32_t cp = c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char n = static_cast<unsigned char>(s[i + k]);
        if ((n & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (n & 0x3F);
    }
    i += len;
    return cp;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an escaped string from s[i] up to the unescaped end character, as Wine writes them:
// \\ \" \n and friends, \xNNNN (one to four hex digits) and octal \NNN. i ends behind endch.
std::optional<std::u16string> parseString(std::string_view s, std::size_t& i, char endch) {
    std::u16string out;
    while (i < s.size()) {
        char c = s[i];
        if (c == endch) {
            ++i;
            return out;
        }
        if (c != '\\') {
            appendUtf16(out, nextChar(s, i));
            continue;
        }
        if (++i >= s.size()) break;
        c = s[i];
        switch (c) {
        case 'a': out += u'\a'; ++i; break;
        case 'b': out += u'\b'; ++i; break;
        case 'e': out += char16_t(0x1B); ++i; break;
        case 'f': out += u'\f'; ++i; break;
        case 'n': out += u'\n'; ++i; break;
        case 'r': out += u'\r'; ++i; break;
        case 't': out += u'\t'; ++i; break;
        case 'v': out += u'\v'; ++i; break;
        case 'x': {
            ++i;
            if (i >= s.size() || hexDigit(s[i]) < 0) {
                out += u'x';
                break;
            }
            unsigned v = 0;
            for (int k = 0; k < 4 && i < s.size() && hexDigit(s[i]) >= 0; ++k) v = v * 16 + hexDigit(s[i++]);
            out += static_cast<char16_t>(v);
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                unsigned v = 0;
                for (int k = 0; k < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++k) v = v * 8 + (s[i++] - '0');
                out += static_cast<char16_t>(v);
            } else {
                appendUtf16(out, nextChar(s, i));
            }
        }
    }
    return std::nullopt;
}

std::string foldAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// "\Software\\Vandrel\" -> "software\vandrel"
std::string normaliseKey(std::string_view key) {
    std::string out;
    std::string part;
    auto flush = [&] {
        if (part.empty()) return;
        if (!out.empty()) out += '\\';
        out += part;
        part.clear();
    };
    for (char c : key) {
        if (c == '\\') flush();
        else part += c;
    }
    flush();
    return foldAscii(out);
}

// The data of a value line (after '='), or nullopt when it is malformed.
std::optional<RegValue> parseData(std::string_view d) {
    RegValue v;
    std::size_t i = 0;
    if (!d.empty() && d[0] == '"') {
        i = 1;
        auto s = parseString(d, i, '"');
        if (!s) return std::nullopt;
        v.kind = RegValue::Kind::Text;
        v.type = 1;
        v.text = utf16ToUtf8(*s);
        return v;
    }
    if (d.starts_with("str(")) {
        std::size_t close = d.find(')');
        if (close == std::string_view::npos || d.substr(close, 3) != "):\"") return std::nullopt;
        unsigned type = 0;
        for (std::size_t k = 4; k < close; ++k) {
            if (hexDigit(d[k]) < 0) return std::nullopt;
            type = type * 16 + hexDigit(d[k]);
        }
        i = close + 3;
        auto s = parseString(d, i, '"');
        if (!s) return std::nullopt;
        v.kind = RegValue::Kind::Text;
        v.type = type;
        v.text = utf16ToUtf8(*s);
        return v;
    }
    if (d.starts_with("dword:")) {
        std::string_view h = d.substr(6);
        if (h.empty() || h.size() > 8) return std::nullopt;
        std::uint64_t n = 0;
        for (char c : h) {
            if (hexDigit(c) < 0) return std::nullopt;
            n = n * 16 + hexDigit(c);
        }
        v.kind = RegValue::Kind::Number;
        v.type = 4;
        v.number = n;
        return v;
    }
    if (d.starts_with("hex")) {
        unsigned type = 3;
        std::size_t colon = d.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        std::string_view head = d.substr(0, colon);
        if (head != "hex") {
            if (!head.starts_with("hex(") || !head.ends_with(")") || head.size() < 6) return std::nullopt;
            type = 0;
            for (std::size_t k = 4; k + 1 < head.size(); ++k) {
                if (hexDigit(head[k]) < 0) return std::nullopt;
                type = type * 16 + hexDigit(head[k]);
            }
        }
        std::vector<std::uint8_t> bytes;
        int nibbles = 0;
        unsigned cur = 0;
        for (char c : d.substr(colon + 1)) {
            if (c == ',' || c == ' ' || c == '\t') {
                if (nibbles) bytes.push_back(static_cast<std::uint8_t>(cur));
                nibbles = 0;
                cur = 0;
                continue;
            }
            int h = hexDigit(c);
            if (h < 0 || nibbles == 2) return std::nullopt;
            cur = cur * 16 + h;
            ++nibbles;
        }
        if (nibbles) bytes.push_back(static_cast<std::uint8_t>(cur));

        v.type = type;
        if (type == 1 || type == 2 || type == 7) {  // strings as UTF-16LE with terminator
            std::u16string s;
            for (std::size_t k = 0; k + 1 < bytes.size(); k += 2)
                s += static_cast<char16_t>(bytes[k] | (bytes[k + 1] << 8));
            if (!s.empty() && s.back() == 0) s.pop_back();
            v.kind = RegValue::Kind::Text;
            v.text = utf16ToUtf8(s);
        } else if ((type == 4 || type == 5) && bytes.size() == 4) {
            v.kind = RegValue::Kind::Number;
            v.number = type == 4 ? (bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint64_t(bytes[3]) << 24)
                                 : (bytes[3] | bytes[2] << 8 | bytes[1] << 16 | std::uint64_t(bytes[0]) << 24);
        } else if (type == 11 && bytes.size() == 8) {
            v.kind = RegValue::Kind::Number;
            for (int k = 7; k >= 0; --k) v.number = (v.number << 8) | bytes[k];
        } else {
            v.kind = RegValue::Kind::Binary;
            v.bytes = std::move(bytes);
        }
        return v;
    }
    return std::nullopt;
}

// Looks one value up in one registry file. 0, 2 or 13 as queryValue.
int lookup(const std::string& content, const std::string& wantKey, const std::string& wantName, RegValue& out) {
    std::istringstream in(content);
    std::string line;
    bool inKey = false;
    bool keySeen = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            if (keySeen) break;  // a key appears once; its section is over
            std::size_t i = 1;
            auto key = parseString(line, i, ']');
            inKey = key && normaliseKey(utf16ToUtf8(*key)) == wantKey;
            keySeen = inKey;
            continue;
        }
        if (!inKey) continue;

        std::string name;
        std::size_t i = 0;
        if (line[0] == '@') {
            i = 1;
        } else if (line[0] == '"') {
            i = 1;
            auto n = parseString(line, i, '"');
            if (!n) continue;
            name = utf16ToUtf8(*n);
        } else {
            continue;  // #time=, comments, continuation lines of other values
        }
        if (i >= line.size() || line[i] != '=') continue;
        if (foldAscii(name) != wantName) continue;

        std::string data = line.substr(i + 1);
        // Long hex data goes on over lines ending with a backslash.
        if (data.starts_with("hex")) {
            while (!data.empty() && data.back() == '\\' && std::getline(in, line)) {
                data.pop_back();
                if (!line.empty() && line.back() == '\r') line.pop_back();
                std::size_t start = line.find_first_not_of(" \t");
                if (start != std::string::npos) data += line.substr(start);
            }
        }
        auto v = parseData(data);
        if (!v) return Registry::ErrorInvalidData;
        out = std::move(*v);
        return Registry::Success;
    }
    return Registry::ErrorFileNotFound;
}

}  // namespace

Registry::Registry(fs::path prefix) : prefix_(std::move(prefix)) {}

Registry Registry::forDefaultPrefix() { return Registry(paths::winePrefix()); }

int Registry::queryValue(Hive hive, std::string keyPath, std::string valueName, RegValue& out) const {
    if (prefix_.empty()) return ErrorFileNotFound;
    fs::path file = prefix_ / (hive == Hive::LocalMachine ? "system.reg" : "user.reg");
    std::ifstream in(file, std::ios::binary);
    if (!in) return ErrorFileNotFound;
    std::ostringstream buf;
    buf << in.rdbuf();
    const std::string content = buf.str();

    const std::string key = normaliseKey(keyPath);
    const std::string name = foldAscii(valueName);
    std::vector<std::string> candidates;
    if (hive == Hive::LocalMachine && key.starts_with("software\\") && !key.starts_with("software\\wow6432node"))
        candidates.push_back("software\\wow6432node\\" + key.substr(9));
    candidates.push_back(key);

    for (const auto& k : candidates) {
        int rc = lookup(content, k, name, out);
        if (rc != ErrorFileNotFound) return rc;
    }
    return ErrorFileNotFound;
}
