// The Jet functions registered into SQLite: the jet_* twins of Jet's built-in functions
// (Format, InStr, Val, ...), & concatenation, Like, and the NOCASE collation.
#include "jetfunctions.h"

#include "collation.h"
#include "textcodec.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace jet {

// std::to_chars does not depend on the C locale (which Qt sets from the environment).
std::string formatReal(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Inf" : "Inf";
    if (v == 0)
        return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

double parseLeadingNumber(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    double v = 0;
    auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
    if (r.ec != std::errc())
        return 0;
    return negative ? -v : v;
}

std::int64_t roundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18)
        return INT64_MAX;
    if (v <= -9.2e18)
        return INT64_MIN;
    return static_cast<std::int64_t>(std::nearbyint(v));  // default rounding mode: to nearest even
}

// ---------------------------------------------------------------- text helpers for SQL functions

namespace {

std::u32string decode(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();)
        out += textcodec::nextCodePoint(s, i);
    return out;
}

// Case folding of ASCII and the Latin-1 letters (umlauts and accents), as Jet compares text.
char32_t foldChar(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    return c;
}

char32_t upperChar(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    return c;
}

}  // namespace

// Works on the UTF-8 bytes: Latin-1 capitals are C3 80..9E, their small letters C3 A0..BE.
std::string foldKey(std::string_view s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            unsigned char d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97)
                out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

namespace {


// NOCASE in Jet's order (SQLite's own NOCASE for ASCII text, with the letters of other
// languages beside their base letters).
int nocaseCompare(void*, int n1, const void* p1, int n2, const void* p2)
{
    return collation::compare({static_cast<const char*>(p1), static_cast<size_t>(n1)},
                              {static_cast<const char*>(p2), static_cast<size_t>(n2)});
}

std::string valueText(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return formatReal(sqlite3_value_double(v));
    default: {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return p ? std::string(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string();
    }
    }
}

double valueNumber(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return static_cast<double>(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_NULL: return 0;
    default: return parseLeadingNumber(valueText(v));
    }
}

void resultText(sqlite3_context* ctx, const std::string& s)
{
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// A whole number when the value is one, else a real: keeps integers integers.
void resultNumber(sqlite3_context* ctx, double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else
        sqlite3_result_double(ctx, d);
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

// a & b & ...: Null counts as empty text; the result is Null only when every part is.
void fnConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::string out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        any = true;
        out += valueText(argv[i]);
    }
    if (!any)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, out);
}

// Jet's Like: * any text, ? one character, # one digit, [abc] [a-z] [!abc] sets; no case.
bool likeMatch(const std::u32string& s, size_t si, const std::u32string& p, size_t pi, int& budget)
{
    while (pi < p.size()) {
        if (--budget < 0)
            return false;
        char32_t pc = p[pi];
        if (pc == '*') {
            while (pi < p.size() && p[pi] == '*')
                ++pi;
            if (pi == p.size())
                return true;
            for (size_t k = si; k <= s.size(); ++k)
                if (likeMatch(s, k, p, pi, budget))
                    return true;
            return false;
        }
        if (si >= s.size())
            return false;
        char32_t sc = s[si];
        if (pc == '?') {
            ++si, ++pi;
            continue;
        }
        if (pc == '#') {
            if (sc < '0' || sc > '9')
                return false;
            ++si, ++pi;
            continue;
        }
        if (pc == '[') {
            size_t close = p.find(']', pi + 1);
            if (close == std::u32string::npos) {  // a lone [ matches itself
                if (foldChar(sc) != '[')
                    return false;
                ++si, ++pi;
                continue;
            }
            size_t k = pi + 1;
            bool negate = k < close && p[k] == '!';
            if (negate)
                ++k;
            bool hit = false;
            char32_t fc = foldChar(sc);
            for (; k < close; ++k) {
                if (k + 2 < close && p[k + 1] == '-') {
                    char32_t lo = foldChar(p[k]), hi = foldChar(p[k + 2]);
                    if (fc >= lo && fc <= hi)
                        hit = true;
                    k += 2;
                } else if (foldChar(p[k]) == fc) {
                    hit = true;
                }
            }
            if (hit == negate)
                return false;
            ++si;
            pi = close + 1;
            continue;
        }
        if (foldChar(sc) != foldChar(pc))
            return false;
        ++si, ++pi;
    }
    return si == s.size();
}

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::u32string s = decode(valueText(argv[0]));
    std::u32string p = decode(valueText(argv[1]));
    int budget = 1000000;  // bounds the backtracking of patterns like *a*a*a*b
    sqlite3_result_int(ctx, likeMatch(s, 0, p, 0, budget) ? 1 : 0);
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::u32string s = decode(valueText(argv[0]));
    double n = valueNumber(argv[1]);
    size_t k = n <= 0 ? 0 : std::min(s.size(), static_cast<size_t>(n));
    std::string out;
    for (size_t i = s.size() - k; i < s.size(); ++i)
        textcodec::appendUtf8(out, s[i]);
    resultText(ctx, out);
}

void fnCase(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool upper)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out;
    for (char32_t c : decode(valueText(argv[0])))
        textcodec::appendUtf8(out, upper ? upperChar(c) : foldChar(c));
    resultText(ctx, out);
}
void fnUcase(sqlite3_context* ctx, int argc, sqlite3_value** argv) { fnCase(ctx, argc, argv, true); }
void fnLcase(sqlite3_context* ctx, int argc, sqlite3_value** argv) { fnCase(ctx, argc, argv, false); }

// Val: blanks anywhere are skipped, &H/&O prefixes, reading stops at the first other character.
void fnVal(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    std::string raw = valueText(argv[0]);
    std::string s;
    for (char c : raw)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            s += c;
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::int64_t v = 0;
        std::from_chars(s.data() + 2, s.data() + s.size(), v, base);
        sqlite3_result_int64(ctx, v);
        return;
    }
    // Only digits, one point and an exponent count; "1,5" reads as 1.
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            s[i] = 'e';
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                ++k;
            i = k;
        }
    }
    resultNumber(ctx, parseLeadingNumber(s.substr(0, i)));
}

void fnStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = valueNumber(argv[0]);
    std::string s = sqlite3_value_type(argv[0]) == SQLITE_INTEGER ? std::to_string(sqlite3_value_int64(argv[0]))
                                                                   : formatReal(d);
    resultText(ctx, d >= 0 ? " " + s : s);
}

void fnCstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, valueText(argv[0]));
}

void fnCint(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    sqlite3_result_int64(ctx, roundHalfEven(valueNumber(argv[0])));
}

void fnCdbl(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, valueNumber(argv[0]));
}

double roundTo(double v, int digits)
{
    double scale = std::pow(10.0, digits);
    double scaled = v * scale;
    // Undo binary noise (2.675 * 100 = 267.49999...) before rounding half to even.
    double nearestTenth = std::round(scaled * 1e6) / 1e6;
    return std::nearbyint(nearestTenth) / scale;
}

void fnCcur(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    resultNumber(ctx, roundTo(valueNumber(argv[0]), 4));
}

void fnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    int digits = argc > 1 ? static_cast<int>(valueNumber(argv[1])) : 0;
    digits = std::clamp(digits, 0, 15);
    resultNumber(ctx, roundTo(valueNumber(argv[0]), digits));
}

void fnCbool(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, valueNumber(argv[0]) != 0 ? -1 : 0);
}

// Int rounds down, Fix towards zero; whole numbers stay as they are.
template <bool TowardsZero>
void fnWhole(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const double v = valueNumber(argv[0]);
    resultNumber(ctx, TowardsZero ? std::trunc(v) : std::floor(v));
}

// a \ b: both rounded to whole numbers first, then divided towards zero.
void fnIdiv(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::int64_t a = roundHalfEven(valueNumber(argv[0]));
    std::int64_t b = roundHalfEven(valueNumber(argv[1]));
    if (b == 0 || (a == INT64_MIN && b == -1)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, a / b);
}

// InStr([start,] text, search[, compare]): 1-based character position, 0 when absent.
// Without compare = 0 the search ignores case, as Jet's text comparison does.
void fnInstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 2 || argc > 4) {
        sqlite3_result_error(ctx, "InStr: falsche Anzahl von Argumenten", -1);
        return;
    }
    int k = 0;
    std::int64_t start = 1;
    if (argc >= 3) {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        start = std::max<std::int64_t>(1, static_cast<std::int64_t>(valueNumber(argv[0])));
        k = 1;
    }
    if (sqlite3_value_type(argv[k]) == SQLITE_NULL || sqlite3_value_type(argv[k + 1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    bool binary = argc == 4 && sqlite3_value_type(argv[3]) != SQLITE_NULL && valueNumber(argv[3]) == 0;
    std::u32string s = decode(valueText(argv[k]));
    std::u32string f = decode(valueText(argv[k + 1]));
    if (!binary) {
        for (auto& c : s)
            c = foldChar(c);
        for (auto& c : f)
            c = foldChar(c);
    }
    if (static_cast<size_t>(start) > s.size() + 1) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    size_t pos = s.find(f, static_cast<size_t>(start - 1));
    sqlite3_result_int64(ctx, pos == std::u32string::npos ? 0 : static_cast<sqlite3_int64>(pos + 1));
}

// Format(value[, pattern]), the common cases: number patterns of 0 # . , with literal text
// around them, "Fixed", "Standard", "Percent", and date patterns of d m y h n s.
void fnFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string pat = argc > 1 ? valueText(argv[1]) : std::string();
    std::string lower = foldKey(pat);
    const int type = sqlite3_value_type(argv[0]);
    const bool numeric = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
    if (pat.empty()) {
        resultText(ctx, valueText(argv[0]));
        return;
    }
    char buf[64];
    if (lower == "fixed" || lower == "standard" || lower == "percent") {
        double d = valueNumber(argv[0]);
        if (lower == "percent")
            d *= 100;
        std::snprintf(buf, sizeof buf, "%.2f", roundTo(d, 2));
        std::string s = buf;
        if (lower == "standard") {
            size_t dot = s.find('.');
            for (long i = static_cast<long>(dot) - 3; i > (s[0] == '-' ? 1 : 0); i -= 3)
                s.insert(static_cast<size_t>(i), ",");
        }
        resultText(ctx, lower == "percent" ? s + "%" : s);
        return;
    }
    const bool datePattern = pat.find_first_of("dmyhnsDMYHNS") != std::string::npos &&
                             pat.find_first_of("0#") == std::string::npos;
    if (datePattern && !numeric) {
        // ISO text as stored: YYYY-MM-DD[ HH:MM:SS]
        std::string v = valueText(argv[0]);
        int Y = 0, M = 0, D = 0, h = 0, n = 0, sec = 0;
        if (std::sscanf(v.c_str(), "%d-%d-%d %d:%d:%d", &Y, &M, &D, &h, &n, &sec) < 3) {
            resultText(ctx, v);
            return;
        }
        std::string out;
        for (size_t i = 0; i < pat.size();) {
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pat[i])));
            size_t run = 1;
            while (i + run < pat.size() && std::tolower(static_cast<unsigned char>(pat[i + run])) == c)
                ++run;
            auto num = [&](int value, size_t width) {
                std::snprintf(buf, sizeof buf, "%0*d", static_cast<int>(width), value);
                out += buf;
            };
            if (c == 'y')
                num(run >= 4 ? Y : Y % 100, run >= 4 ? 4 : 2);
            else if (c == 'm')
                num(M, run >= 2 ? 2 : 1);
            else if (c == 'd')
                num(D, run >= 2 ? 2 : 1);
            else if (c == 'h')
                num(h, run >= 2 ? 2 : 1);
            else if (c == 'n')
                num(n, run >= 2 ? 2 : 1);
            else if (c == 's')
                num(sec, run >= 2 ? 2 : 1);
            else
                out.append(pat, i, run);
            i += run;
        }
        resultText(ctx, out);
        return;
    }
    // Number pattern: literal prefix, digits part, literal suffix.
    size_t first = pat.find_first_of("0#");
    if (first == std::string::npos) {
        resultText(ctx, pat);
        return;
    }
    size_t last = pat.find_last_of("0#");
    std::string prefix = pat.substr(0, first), suffix = pat.substr(last + 1);
    std::string body = pat.substr(first, last - first + 1);
    size_t dot = body.find('.');
    std::string intPart = dot == std::string::npos ? body : body.substr(0, dot);
    std::string fracPart = dot == std::string::npos ? std::string() : body.substr(dot + 1);
    const bool grouping = intPart.find(',') != std::string::npos;
    int minInt = static_cast<int>(std::count(intPart.begin(), intPart.end(), '0'));
    int fracMin = static_cast<int>(std::count(fracPart.begin(), fracPart.end(), '0'));
    int fracMax = static_cast<int>(std::count(fracPart.begin(), fracPart.end(), '0') +
                                   std::count(fracPart.begin(), fracPart.end(), '#'));
    double d = roundTo(valueNumber(argv[0]), fracMax);
    const bool negative = d < 0;
    std::snprintf(buf, sizeof buf, "%.*f", fracMax, std::fabs(d));
    std::string digits = buf;
    std::string ip = digits.substr(0, digits.find('.'));
    std::string fp = fracMax > 0 ? digits.substr(digits.find('.') + 1) : std::string();
    while (static_cast<int>(fp.size()) > fracMin && !fp.empty() && fp.back() == '0')
        fp.pop_back();
    if (ip == "0" && minInt == 0)
        ip.clear();
    while (static_cast<int>(ip.size()) < minInt)
        ip.insert(0, "0");
    if (grouping)
        for (long i = static_cast<long>(ip.size()) - 3; i > 0; i -= 3)
            ip.insert(static_cast<size_t>(i), ",");
    std::string out = (negative ? "-" : "") + prefix + ip;
    if (!fp.empty() || (dot != std::string::npos && fracMin > 0))
        out += "." + fp;
    resultText(ctx, out + suffix);
}

void fnRnd(sqlite3_context* ctx, int, sqlite3_value**)
{
    std::uint64_t r = 0;
    sqlite3_randomness(sizeof r, &r);
    sqlite3_result_double(ctx, static_cast<double>(r >> 11) / 9007199254740992.0);
}


int autoExtension(sqlite3* db, const char**, const struct sqlite3_api_routines*)
{
    registerFunctions(db);
    return SQLITE_OK;
}

}  // namespace

void registerFunctions(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct F {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    static const F fns[] = {
        {"jetcat", -1, fnConcat}, {"jetlike", 2, fnLike},     {"jet_right", 2, fnRight}, {"jet_ucase", 1, fnUcase},
        {"jet_lcase", 1, fnLcase}, {"jet_val", 1, fnVal},     {"jet_str", 1, fnStr},     {"jet_cstr", 1, fnCstr},
        {"jet_cint", 1, fnCint},  {"jet_cdbl", 1, fnCdbl},    {"jet_ccur", 1, fnCcur},   {"jet_cbool", 1, fnCbool},
        {"jet_int", 1, fnWhole<false>}, {"jet_fix", 1, fnWhole<true>},      {"jet_round", 1, fnRound}, {"jet_round", 2, fnRound},
        {"jet_instr", -1, fnInstr}, {"jet_format", 1, fnFormat}, {"jet_format", 2, fnFormat},
        {"jet_idiv", 2, fnIdiv},
    };
    for (const F& f : fns)
        sqlite3_create_function_v2(db, f.name, f.args, det, nullptr, f.fn, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_rnd", 0, SQLITE_UTF8, nullptr, fnRnd, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_rnd", 1, SQLITE_UTF8, nullptr, fnRnd, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, nocaseCompare, nullptr);
}

void installSqlFunctions()
{
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&autoExtension)); });
}

namespace {
// Views stored with translated text must work on any connection of a program linking this
// layer, also one opened before the first translation (tests, import checks).
const bool installedAtStart = (installSqlFunctions(), true);
}  // namespace

}  // namespace jet
