#include "jetsql.h"

#include "jetfunctions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <iterator>

// The translation works on tokens and parses expressions with Jet's operator precedence,
// so operators whose SQLite counterpart binds differently (& versus ||, Mod versus %) keep
// their meaning. Functions without a SQLite twin are emitted as calls of jet_* functions
// that jetdb registers on every connection.

namespace jetsql {

namespace {

enum class K { Ident, Quoted, String, Number, Date, Op, End };

struct Tok {
    K kind = K::End;
    std::string text;   // Ident/Quoted: the name; String: the value; Date: ISO text; Op: the operator
    std::string upper;  // Ident: ASCII upper case, for keyword tests
};

bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isIdentStart(unsigned char c) { return isAlpha(c) || c == '_' || c >= 0x80; }
bool isIdentChar(unsigned char c) { return isIdentStart(c) || isDigit(c) || c == '$'; }

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string excerpt(std::string_view s, size_t pos)
{
    std::string out(s.substr(pos, 30));
    if (pos + 30 < s.size())
        out += "...";
    return out;
}

// #...# literal: US order m/d/y (as Jet reads it) or y-m-d, an optional time with AM/PM.
std::string parseDateLiteral(std::string_view raw)
{
    auto fail = [&]() -> std::string {
        throw TranslateError("Ungültiges Datum im SQL-Text: #" + std::string(raw) + "#");
    };
    std::string s(raw);
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && isSpace(static_cast<unsigned char>(s[i])))
            ++i;
    };
    auto number = [&](int& digits) -> long {
        long v = 0;
        digits = 0;
        while (i < s.size() && isDigit(static_cast<unsigned char>(s[i])) && digits < 9) {
            v = v * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        return v;
    };
    skipSpace();
    long year = -1, month = 0, day = 0;
    int dg = 0;
    size_t save = i;
    long a = number(dg);
    int firstDigits = dg;
    if (dg > 0 && i < s.size() && (s[i] == '/' || s[i] == '-')) {
        char sep = s[i++];
        long b = number(dg);
        if (dg == 0 || i >= s.size() || s[i] != sep)
            return fail();
        ++i;
        long c = number(dg);
        if (dg == 0)
            return fail();
        if (firstDigits == 4) {
            year = a, month = b, day = c;
        } else {
            month = a, day = b, year = c;
            if (dg <= 2)
                year += year < 30 ? 2000 : 1900;
        }
        if (month < 1 || month > 12 || day < 1 || day > 31 || year < 100 || year > 9999)
            return fail();
        skipSpace();
    } else {
        i = save;
    }
    long hour = -1, minute = 0, second = 0;
    if (i < s.size()) {
        hour = number(dg);
        if (dg == 0 || i >= s.size() || s[i] != ':')
            return fail();
        ++i;
        minute = number(dg);
        if (dg == 0)
            return fail();
        if (i < s.size() && s[i] == ':') {
            ++i;
            second = number(dg);
            if (dg == 0)
                return fail();
        }
        skipSpace();
        std::string rest = upperAscii(s.substr(i));
        if (rest == "PM" || rest == "P") {
            if (hour < 12)
                hour += 12;
        } else if (rest == "AM" || rest == "A") {
            if (hour == 12)
                hour = 0;
        } else if (!rest.empty()) {
            return fail();
        }
        if (hour > 23 || minute > 59 || second > 59)
            return fail();
    }
    if (year < 0 && hour < 0)
        return fail();
    char buf[40];
    if (year < 0)
        std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", hour, minute, second);
    else if (hour < 0)
        std::snprintf(buf, sizeof buf, "%04ld-%02ld-%02ld", year, month, day);
    else
        std::snprintf(buf, sizeof buf, "%04ld-%02ld-%02ld %02ld:%02ld:%02ld", year, month, day, hour, minute,
                      second);
    return buf;
}

std::vector<Tok> tokenize(std::string_view s)
{
    std::vector<Tok> out;
    size_t i = 0;
    const size_t n = s.size();
    auto push = [&](K k, std::string text) {
        Tok t;
        t.kind = k;
        if (k == K::Ident)
            t.upper = upperAscii(text);
        t.text = std::move(text);
        out.push_back(std::move(t));
    };
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (isSpace(c) || c == 0) {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            size_t e = s.find("*/", i + 2);
            i = e == std::string_view::npos ? n : e + 2;
            continue;
        }
        if (c == '"' || c == '\'') {
            std::string value;
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == static_cast<char>(c)) {
                    if (j + 1 < n && s[j + 1] == static_cast<char>(c)) {
                        value += static_cast<char>(c);
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += s[j++];
            }
            if (!closed)
                throw TranslateError("Zeichenkette ohne schließendes Anführungszeichen: " + excerpt(s, i));
            push(K::String, std::move(value));
            i = j + 1;
            continue;
        }
        if (c == '[' || c == '`') {
            const char close = c == '[' ? ']' : '`';
            size_t e = s.find(close, i + 1);
            if (e == std::string_view::npos)
                throw TranslateError(std::string("Name ohne schließende ") +
                                     (c == '[' ? "eckige Klammer: " : "Markierung: ") + excerpt(s, i));
            std::string name(s.substr(i + 1, e - i - 1));
            if (name.empty())
                throw TranslateError("Leerer Name [] im SQL-Text");
            push(K::Quoted, std::move(name));
            i = e + 1;
            continue;
        }
        if (c == '#') {
            size_t e = s.find('#', i + 1);
            if (e == std::string_view::npos)
                throw TranslateError("Datum ohne schließendes #: " + excerpt(s, i));
            push(K::Date, parseDateLiteral(s.substr(i + 1, e - i - 1)));
            i = e + 1;
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(static_cast<unsigned char>(s[i + 1])))) {
            size_t j = i;
            while (j < n && isDigit(static_cast<unsigned char>(s[j])))
                ++j;
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && isDigit(static_cast<unsigned char>(s[j])))
                    ++j;
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-'))
                    ++k;
                if (k < n && isDigit(static_cast<unsigned char>(s[k]))) {
                    while (k < n && isDigit(static_cast<unsigned char>(s[k])))
                        ++k;
                    j = k;
                }
            }
            push(K::Number, std::string(s.substr(i, j - i)));
            i = j;
            continue;
        }
        if (c == '&' && i + 2 < n && (s[i + 1] == 'H' || s[i + 1] == 'h' || s[i + 1] == 'O' || s[i + 1] == 'o')) {
            const bool hex = s[i + 1] == 'H' || s[i + 1] == 'h';
            size_t j = i + 2;
            std::uint64_t v = 0;
            int digits = 0;
            while (j < n) {
                char d = s[j];
                int dv;
                if (d >= '0' && d <= '9')
                    dv = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    dv = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    dv = d - 'A' + 10;
                else
                    break;
                if (!hex && dv > 7)
                    break;
                v = v * (hex ? 16 : 8) + static_cast<std::uint64_t>(dv);
                ++digits;
                ++j;
            }
            if (digits > 0 && digits <= (hex ? 16 : 21)) {
                if (j < n && s[j] == '&')  // VB's Long suffix
                    ++j;
                push(K::Number, std::to_string(static_cast<std::int64_t>(v)));
                i = j;
                continue;
            }
        }
        if (isIdentStart(c)) {
            size_t j = i;
            while (j < n && isIdentChar(static_cast<unsigned char>(s[j])))
                ++j;
            push(K::Ident, std::string(s.substr(i, j - i)));
            i = j;
            continue;
        }
        static const std::array<std::string_view, 6> twoChar{"<=", ">=", "<>", "!=", "==", "||"};
        if (i + 1 < n) {
            std::string_view two = s.substr(i, 2);
            if (std::find(twoChar.begin(), twoChar.end(), two) != twoChar.end()) {
                push(K::Op, std::string(two));
                i += 2;
                continue;
            }
        }
        push(K::Op, std::string(1, static_cast<char>(c)));
        ++i;
    }
    return out;
}

// Words that structure a statement; they are never names or function calls (Left and Right
// are functions when a parenthesis follows).
bool isClauseKeyword(const std::string& u)
{
    static constexpr std::string_view words[] = {
        "ALL",        "ALTER",      "AND",        "AS",          "ASC",         "ASCENDING", "BETWEEN",
        "BY",         "CASE",       "COLLATE",    "CONSTRAINT",  "CREATE",      "CROSS",     "DEFAULT",
        "DELETE",     "DESC",       "DESCENDING", "DISTINCT",    "DISTINCTROW", "DROP",      "ELSE",
        "END",        "EQV",        "ESCAPE",     "EXCEPT",      "FROM",        "FULL",      "GROUP",
        "HAVING",     "IMP",        "IN",         "INDEX",       "INNER",       "INSERT",    "INTERSECT",
        "INTO",       "IS",         "JOIN",       "KEY",         "LEFT",        "LIKE",      "LIMIT",
        "MOD",        "NATURAL",    "OFFSET",     "ON",          "OPTION",      "OR",        "ORDER",
        "OUTER",      "OWNERACCESS", "PARAMETERS", "PERCENT",    "PIVOT",       "PRIMARY",   "REFERENCES",
        "RIGHT",      "SELECT",     "SET",        "TABLE",       "THEN",        "TOP",       "TRANSFORM",
        "UNION",      "UNIQUE",     "UPDATE",     "USING",       "VALUES",      "VIEW",      "WHEN",
        "WHERE",      "WITH",       "XOR",        "ADD",         "COLUMN",    "TEMP",
        "TEMPORARY",  "EXISTS"};
    return std::find(std::begin(words), std::end(words), u) != std::end(words);
}

// SQLite keywords that may still be Jet column names; such names are quoted on output.
bool isSqliteOnlyKeyword(const std::string& u)
{
    static constexpr std::string_view words[] = {
        "ABORT",   "ACTION",   "AFTER",    "ALWAYS",   "ANALYZE",  "ATTACH",   "AUTOINCREMENT", "BEFORE",
        "BEGIN",   "CASCADE",  "CHECK",    "COMMIT",   "CONFLICT", "CURRENT",  "DATABASE",      "DEFERRED",
        "DETACH",  "DO",       "EACH",     "EXCLUDE",  "EXCLUSIVE", "EXPLAIN", "FAIL",          "FILTER",
        "FIRST",   "FOLLOWING", "FOREIGN", "GLOB",     "GROUPS",   "IF",       "IGNORE",        "IMMEDIATE",
        "INDEXED", "INSTEAD",  "ISNULL",   "LAST",     "MATCH",    "NO",       "NOTHING",       "NOTNULL",
        "NULLS",   "OTHERS",   "OVER",     "PLAN",     "PRAGMA",   "QUERY",    "RAISE",         "RANGE",
        "RECURSIVE", "REGEXP", "RELEASE",  "ROWS"};
    return std::find(std::begin(words), std::end(words), u) != std::end(words);
}

bool plainName(std::string_view s)
{
    if (s.empty() || !(isAlpha(static_cast<unsigned char>(s[0])) || s[0] == '_'))
        return false;
    for (unsigned char c : s)
        if (!(isAlpha(c) || isDigit(c) || c == '_'))
            return false;
    return true;
}

bool hasNonAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return true;
    return false;
}

std::string sqlString(std::string_view v)
{
    return quote(v, '\'');
}

constexpr int PRIM = 100;

struct Ex {
    std::string sql;
    int prec = PRIM;
    bool column = false;   // a plain column reference
    bool mod = false;      // emitted as %, which SQLite binds like * and /
    bool textLit = false;  // a string literal
};

enum Stop : unsigned { StopParen = 1, StopComma = 2, StopWhere = 4 };

struct Assignment {
    std::vector<std::string> parts;  // name parts of the target (qualifier, column)
    std::string rhs;
};

struct JoinTable {
    std::string name;   // as written (unquoted)
    std::string alias;  // as written, may be empty
    std::string sql;    // "name" [AS alias] for output
};

class Translator {
public:
    Translator(const std::vector<Tok>& toks, size_t begin, size_t end, const Schema* schema, int depth = 0)
        : t_(toks), p_(begin), end_(end), schema_(schema), depth_(depth)
    {
    }

    std::string statement()
    {
        std::string out = sequence(0);
        while (p_ < end_ && peek().kind == K::Op && peek().text == ";")
            ++p_;
        if (p_ < end_)
            throw TranslateError("Unerwartetes Zeichen im SQL-Text: " + peek().text);
        return out;
    }

private:
    const std::vector<Tok>& t_;
    size_t p_;
    size_t end_;
    const Schema* schema_;
    int depth_ = 0;
    bool afterInto_ = false;

    // Junk input must not exhaust the stack.
    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x)
        {
            if (++d > 200)
                throw TranslateError("Der SQL-Text ist zu tief verschachtelt");
        }
        ~Depth() { --d; }
    };

    const Tok& peek(size_t k = 0) const
    {
        static const Tok endTok;
        return p_ + k < end_ ? t_[p_ + k] : endTok;
    }
    bool isOp(size_t k, std::string_view op) const
    {
        const Tok& t = peek(k);
        return t.kind == K::Op && t.text == op;
    }
    bool isWord(size_t k, std::string_view w) const
    {
        const Tok& t = peek(k);
        return t.kind == K::Ident && t.upper == w;
    }
    void expectOp(std::string_view op, const char* what)
    {
        if (!isOp(0, op))
            throw TranslateError(std::string(what) + near());
        ++p_;
    }
    std::string near() const
    {
        if (p_ >= end_)
            return " (Ende des SQL-Texts)";
        return " bei \"" + peek().text + "\"";
    }

    static void append(std::string& out, std::string_view piece)
    {
        if (piece.empty())
            return;
        if (!out.empty() && out.back() != '(' && piece != "," && piece != ")")
            out += ' ';
        out += piece;
    }

    bool startsExpression() const
    {
        const Tok& t = peek();
        switch (t.kind) {
        case K::Number:
        case K::String:
        case K::Date:
        case K::Quoted: return true;
        case K::Ident:
            if ((t.upper == "LEFT" || t.upper == "RIGHT") && isOp(1, "("))
                return true;
            if (t.upper == "EXISTS")
                return true;
            return !isClauseKeyword(t.upper);
        case K::Op: return t.text == "(" || t.text == "-" || t.text == "+" || t.text == "*";
        default: return false;
        }
    }

    // A run of clauses and expressions up to the end, a closing parenthesis, or (per stop) a
    // comma or WHERE at this level.
    std::string sequence(unsigned stop)
    {
        Depth guard(depth_);
        std::string out;
        std::string limit;
        while (p_ < end_) {
            const Tok& tk = peek();
            if (tk.kind == K::Op && tk.text == ")") {
                if (stop & StopParen)
                    break;
                throw TranslateError("Schließende Klammer ohne öffnende im SQL-Text");
            }
            if (tk.kind == K::Op && tk.text == ",") {
                if (stop & StopComma)
                    break;
                append(out, ",");
                ++p_;
                continue;
            }
            if (tk.kind == K::Op && tk.text == ";")
                break;
            if (tk.kind == K::Ident && (stop & StopWhere) && tk.upper == "WHERE")
                break;
            if (tk.kind == K::Ident && isClauseKeyword(tk.upper) && !startsExpression()) {
                const std::string u = tk.upper;
                ++p_;
                if (u == "SELECT") {
                    append(out, "SELECT");
                    for (;;) {
                        if (isWord(0, "DISTINCTROW")) {
                            ++p_;
                        } else if (isWord(0, "DISTINCT") || isWord(0, "ALL")) {
                            append(out, peek().upper);
                            ++p_;
                        } else if (isWord(0, "TOP")) {
                            ++p_;
                            if (peek().kind != K::Number)
                                throw TranslateError("TOP ohne Anzahl" + near());
                            limit = peek().text;
                            ++p_;
                            if (isWord(0, "PERCENT"))
                                throw TranslateError("TOP ... PERCENT wird nicht unterstützt");
                        } else {
                            break;
                        }
                    }
                } else if (u == "DELETE") {
                    append(out, "DELETE");
                    if (isOp(0, "*")) {
                        ++p_;
                    } else if ((peek().kind == K::Ident || peek().kind == K::Quoted) && isOp(1, ".") &&
                               isOp(2, "*")) {
                        p_ += 3;
                    }
                } else if (u == "UPDATE") {
                    append(out, update());
                } else if (u == "ASCENDING") {
                    append(out, "ASC");
                } else if (u == "DESCENDING") {
                    append(out, "DESC");
                } else if (u == "XOR" || u == "EQV" || u == "IMP") {
                    throw TranslateError("Der Operator " + u + " wird nicht unterstützt");
                } else {
                    if (u == "INTO")
                        afterInto_ = true;
                    if (u == "UNION" && !limit.empty())
                        throw TranslateError("TOP in einer UNION-Abfrage wird nicht unterstützt");
                    append(out, u);
                }
                continue;
            }
            if (startsExpression()) {
                append(out, expr(0).sql);
                continue;
            }
            append(out, tk.text);
            ++p_;
        }
        if (!limit.empty())
            append(out, "LIMIT " + limit);
        return out;
    }

    std::string paren()
    {
        expectOp("(", "Öffnende Klammer erwartet");
        std::string inner = sequence(StopParen);
        expectOp(")", "Klammer nicht geschlossen");
        return "(" + inner + ")";
    }

    static std::string wrap(const Ex& e, bool need) { return need ? "(" + e.sql + ")" : e.sql; }

    struct OpInfo {
        int prec = -1;
        std::string op;  // upper case
        bool negated = false;
        int width = 1;   // tokens taken by the operator
    };

    OpInfo infix() const
    {
        const Tok& t = peek();
        OpInfo o;
        if (t.kind == K::Op) {
            const std::string& x = t.text;
            if (x == "^")
                o.prec = 11;
            else if (x == "*" || x == "/")
                o.prec = 9;
            else if (x == "\\")
                o.prec = 8;
            else if (x == "+" || x == "-")
                o.prec = 6;
            else if (x == "&")
                o.prec = 5;
            else if (x == "=" || x == "<>" || x == "!=" || x == "==" || x == "<" || x == ">" || x == "<=" ||
                     x == ">=")
                o.prec = 4;
            o.op = x;
        } else if (t.kind == K::Ident) {
            const std::string& u = t.upper;
            o.op = u;
            if (u == "MOD")
                o.prec = 7;
            else if (u == "LIKE" || u == "IS" || u == "IN" || u == "BETWEEN")
                o.prec = 4;
            else if (u == "NOT" && (isWord(1, "LIKE") || isWord(1, "IN") || isWord(1, "BETWEEN"))) {
                o.prec = 4;
                o.negated = true;
                o.op = peek(1).upper;
                o.width = 2;
            } else if (u == "AND")
                o.prec = 2;
            else if (u == "OR")
                o.prec = 1;
            else if (u == "XOR" || u == "EQV" || u == "IMP")
                throw TranslateError("Der Operator " + u + " wird nicht unterstützt");
        }
        return o;
    }

    static bool needWrap(const Ex& child, int parentPrec, bool right, bool parentMod)
    {
        if (child.prec >= PRIM)
            return false;
        return child.prec < parentPrec || (right && child.prec == parentPrec) || child.mod || parentMod;
    }

    Ex compare(const Ex& l, const std::string& op, const Ex& r)
    {
        std::string ls = wrap(l, l.prec <= 4);
        std::string rs = wrap(r, r.prec <= 4);
        // Jet compares text without regard to case; columns carry NOCASE themselves.
        if (!l.column && !r.column)
            rs = wrap(r, r.prec < PRIM) + " COLLATE NOCASE";
        Ex e;
        e.sql = ls + " " + op + " " + rs;
        e.prec = 4;
        return e;
    }

    Ex expr(int minPrec)
    {
        Depth guard(depth_);
        Ex left = unary();
        for (;;) {
            OpInfo o = infix();
            if (o.prec < 0 || o.prec < minPrec)
                break;
            p_ += static_cast<size_t>(o.width);
            const std::string& op = o.op;
            if (op == "&") {
                std::vector<std::string> parts{left.sql};
                parts.push_back(expr(6).sql);
                while (isOp(0, "&")) {
                    ++p_;
                    parts.push_back(expr(6).sql);
                }
                Ex e;
                e.sql = "jetcat(";
                for (size_t i = 0; i < parts.size(); ++i)
                    e.sql += (i ? ", " : "") + parts[i];
                e.sql += ")";
                left = e;
            } else if (o.prec == 4 && op == "LIKE") {
                Ex pat = expr(5);
                Ex e;
                e.sql = "jetlike(" + left.sql + ", " + pat.sql + ")";
                if (o.negated) {
                    e.sql = "NOT " + e.sql;
                    e.prec = 3;
                }
                left = e;
            } else if (op == "IS") {
                bool neg = false;
                if (isWord(0, "NOT")) {
                    neg = true;
                    ++p_;
                }
                if (!isWord(0, "NULL"))
                    throw TranslateError("Nach IS wird NULL erwartet" + near());
                ++p_;
                Ex e;
                e.sql = wrap(left, left.prec <= 4) + (neg ? " IS NOT NULL" : " IS NULL");
                e.prec = 4;
                left = e;
            } else if (op == "IN") {
                if (!isOp(0, "("))
                    throw TranslateError("Nach IN wird eine Klammer erwartet" + near());
                std::string list = paren();
                Ex e;
                e.sql = wrap(left, left.prec < PRIM);
                if (!left.column)
                    e.sql += " COLLATE NOCASE";
                e.sql += (o.negated ? " NOT IN " : " IN ") + list;
                e.prec = 4;
                left = e;
            } else if (op == "BETWEEN") {
                Ex lo = expr(5);
                if (!isWord(0, "AND"))
                    throw TranslateError("BETWEEN ohne AND" + near());
                ++p_;
                Ex hi = expr(5);
                Ex e;
                e.sql = wrap(left, left.prec < PRIM);
                if (!left.column)
                    e.sql += " COLLATE NOCASE";
                e.sql += (o.negated ? " NOT BETWEEN " : " BETWEEN ") + lo.sql + " AND " + hi.sql;
                e.prec = 4;
                left = e;
            } else if (o.prec == 4) {
                Ex r = expr(5);
                left = compare(left, op, r);
            } else if (op == "AND" || op == "OR") {
                Ex r = expr(o.prec + 1);
                Ex e;
                e.sql = wrap(left, left.prec < o.prec) + " " + op + " " + wrap(r, r.prec <= o.prec);
                e.prec = o.prec;
                left = e;
            } else if (op == "^" || op == "\\") {
                Ex r = expr(o.prec + 1);
                Ex e;
                e.sql = (op == "^" ? "power(" : "jet_idiv(") + left.sql + ", " + r.sql + ")";
                left = e;
            } else {
                Ex r = expr(o.prec + 1);
                const bool isMod = op == "MOD";
                Ex e;
                if (op == "+" && left.textLit && r.textLit) {
                    e.sql = "jetcat(" + left.sql + ", " + r.sql + ")";  // "a" + "b" joins text in Jet
                } else {
                    e.sql = wrap(left, needWrap(left, o.prec, false, isMod)) + " " + (isMod ? "%" : op) + " " +
                            wrap(r, needWrap(r, o.prec, true, isMod));
                    e.prec = o.prec;
                    e.mod = isMod;
                }
                left = e;
            }
        }
        return left;
    }

    Ex unary()
    {
        Depth guard(depth_);
        if (isWord(0, "NOT")) {
            ++p_;
            Ex e = expr(3);
            Ex r;
            r.sql = "NOT " + wrap(e, e.prec < 3);
            r.prec = 3;
            return r;
        }
        if (isOp(0, "-") || isOp(0, "+")) {
            const bool minus = isOp(0, "-");
            ++p_;
            Ex e = expr(11);
            Ex r;
            if (!minus)
                return e;
            if (peekIsNumberSql(e.sql))
                r.sql = "-" + e.sql;
            else
                r.sql = "-(" + e.sql + ")";
            r.prec = 10;
            return r;
        }
        return primary();
    }

    // True when the parentheses at the current token hold only a (qualified) name.
    bool parenthesisedName() const
    {
        size_t k = 0, opens = 0;
        while (isOp(k, "(")) {
            ++opens;
            ++k;
        }
        bool any = false;
        for (;;) {
            const Tok& t = peek(k);
            if (t.kind != K::Ident && t.kind != K::Quoted)
                break;
            if (t.kind == K::Ident && isClauseKeyword(t.upper))
                return false;
            any = true;
            ++k;
            if (!isOp(k, "."))
                break;
            ++k;
        }
        if (!any || isOp(k, "("))
            return false;
        for (size_t i = 0; i < opens; ++i, ++k)
            if (!isOp(k, ")"))
                return false;
        return true;
    }

    static bool peekIsNumberSql(const std::string& s)
    {
        return !s.empty() && (isDigit(static_cast<unsigned char>(s[0])) || s[0] == '.');
    }

    std::string nameSql(const std::string& name, bool bracketed) const
    {
        std::string n = name;
        if (schema_ && hasNonAscii(n)) {
            std::string sp = schema_->spelling(n);
            if (!sp.empty())
                n = sp;
        }
        if (!bracketed && plainName(n) && !isSqliteOnlyKeyword(upperAscii(n)))
            return n;
        // SQLite reads [name] as a name only; a "name" that matches nothing would become text.
        if (n.find(']') == std::string::npos)
            return "[" + n + "]";
        return quote(n, '"');
    }

    Ex primary()
    {
        const Tok& tk = peek();
        Ex e;
        switch (tk.kind) {
        case K::Number:
            ++p_;
            e.sql = tk.text;
            afterInto_ = false;
            return e;
        case K::String:
            ++p_;
            e.sql = sqlString(tk.text);
            e.textLit = true;
            return e;
        case K::Date:
            ++p_;
            e.sql = sqlString(tk.text);
            return e;
        case K::Op:
            if (tk.text == "(") {
                // (column) stays a column for the comparison rules.
                const bool col = parenthesisedName();
                e.sql = paren();
                e.column = col;
                return e;
            }
            if (tk.text == "*") {
                ++p_;
                e.sql = "*";
                return e;
            }
            throw TranslateError("Ausdruck erwartet" + near());
        case K::End: throw TranslateError("Unvollständiger SQL-Text: Ausdruck erwartet");
        case K::Ident:
        case K::Quoted: break;
        }
        const bool into = afterInto_;
        afterInto_ = false;
        if (tk.kind == K::Ident) {
            const std::string& u = tk.upper;
            const bool alone = !isOp(1, ".") && !isOp(1, "(");
            if (u == "NULL") {
                ++p_;
                e.sql = "NULL";
                return e;
            }
            if (alone && (u == "TRUE" || u == "YES")) {
                ++p_;
                e.sql = "-1";
                return e;
            }
            if (alone && (u == "FALSE" || u == "NO")) {
                ++p_;
                e.sql = "0";
                return e;
            }
            if (u == "EXISTS") {
                ++p_;
                e.sql = "EXISTS " + paren();
                return e;
            }
            if (isOp(1, "(") && !into)
                return call();
            if (isClauseKeyword(u) && !(u == "LEFT" || u == "RIGHT"))
                throw TranslateError("Ausdruck erwartet" + near());
        }
        std::string sql = nameSql(tk.text, tk.kind == K::Quoted);
        ++p_;
        while (isOp(0, ".")) {
            ++p_;
            const Tok& part = peek();
            if (part.kind == K::Ident || part.kind == K::Quoted) {
                sql += "." + nameSql(part.text, part.kind == K::Quoted);
                ++p_;
            } else if (isOp(0, "*")) {
                sql += ".*";
                ++p_;
                break;
            } else {
                throw TranslateError("Name nach Punkt erwartet" + near());
            }
        }
        e.sql = sql;
        e.column = true;
        return e;
    }

    [[noreturn]] static void arity(const std::string& name)
    {
        throw TranslateError("Falsche Anzahl von Argumenten für die Funktion " + name);
    }

    Ex call()
    {
        const std::string written = peek().text;
        std::string name = lowerAscii(written);
        if (!name.empty() && name.back() == '$')
            name.pop_back();
        ++p_;
        expectOp("(", "Öffnende Klammer erwartet");
        std::vector<std::string> a;
        if (!isOp(0, ")")) {
            for (;;) {
                std::string arg = sequence(StopParen | StopComma);
                if (arg.empty())
                    throw TranslateError("Leeres Argument für die Funktion " + written);
                a.push_back(std::move(arg));
                if (isOp(0, ",")) {
                    ++p_;
                    continue;
                }
                break;
            }
        }
        expectOp(")", "Klammer nicht geschlossen");
        const size_t n = a.size();
        auto fn = [&](const char* sqlName, size_t lo, size_t hi) {
            if (n < lo || n > hi)
                arity(written);
            std::string s = std::string(sqlName) + "(";
            for (size_t i = 0; i < n; ++i)
                s += (i ? ", " : "") + a[i];
            return s + ")";
        };
        Ex e;
        if (name == "len")
            e.sql = fn("length", 1, 1);
        else if (name == "left") {
            if (n != 2)
                arity(written);
            e.sql = "substr(" + a[0] + ", 1, " + a[1] + ")";
        } else if (name == "right")
            e.sql = fn("jet_right", 2, 2);
        else if (name == "mid")
            e.sql = fn("substr", 2, 3);
        else if (name == "ucase")
            e.sql = fn("jet_ucase", 1, 1);
        else if (name == "lcase")
            e.sql = fn("jet_lcase", 1, 1);
        else if (name == "trim" || name == "ltrim" || name == "rtrim") {
            if (n != 1)
                arity(written);
            e.sql = name + "(" + a[0] + ", ' ')";
        } else if (name == "iif")
            e.sql = fn("iif", 3, 3);
        else if (name == "nz") {
            if (n < 1 || n > 2)
                arity(written);
            e.sql = "ifnull(" + a[0] + ", " + (n == 2 ? a[1] : std::string("''")) + ")";
        } else if (name == "isnull") {
            if (n != 1)
                arity(written);
            e.sql = "(" + a[0] + " IS NULL)";
        } else if (name == "val")
            e.sql = fn("jet_val", 1, 1);
        else if (name == "str")
            e.sql = fn("jet_str", 1, 1);
        else if (name == "cstr")
            e.sql = fn("jet_cstr", 1, 1);
        else if (name == "cint" || name == "clng" || name == "cbyte")
            e.sql = fn("jet_cint", 1, 1);
        else if (name == "cdbl" || name == "csng")
            e.sql = fn("jet_cdbl", 1, 1);
        else if (name == "ccur")
            e.sql = fn("jet_ccur", 1, 1);
        else if (name == "cbool")
            e.sql = fn("jet_cbool", 1, 1);
        else if (name == "int")
            e.sql = fn("jet_int", 1, 1);
        else if (name == "fix")
            e.sql = fn("jet_fix", 1, 1);
        else if (name == "abs")
            e.sql = fn("abs", 1, 1);
        else if (name == "sgn")
            e.sql = fn("sign", 1, 1);
        else if (name == "sqr")
            e.sql = fn("sqrt", 1, 1);
        else if (name == "round")
            e.sql = fn("jet_round", 1, 2);
        else if (name == "instr")
            e.sql = fn("jet_instr", 2, 4);
        else if (name == "format")
            e.sql = fn("jet_format", 1, 2);
        else if (name == "space") {
            if (n != 1)
                arity(written);
            e.sql = "printf('%*s', " + a[0] + ", '')";
        } else if (name == "asc")
            e.sql = fn("unicode", 1, 1);
        else if (name == "chr")
            e.sql = fn("char", 1, 1);
        else if (name == "rnd")
            e.sql = fn("jet_rnd", 0, 1);
        else if (name == "date") {
            if (n != 0)
                arity(written);
            e.sql = "date('now', 'localtime')";
        } else if (name == "now") {
            if (n != 0)
                arity(written);
            e.sql = "datetime('now', 'localtime')";
        } else if (name == "time") {
            if (n != 0)
                arity(written);
            e.sql = "time('now', 'localtime')";
        } else if (name == "year" || name == "month" || name == "day" || name == "hour" || name == "minute" ||
                   name == "second") {
            if (n != 1)
                arity(written);
            static const std::array<std::pair<std::string_view, std::string_view>, 6> parts{
                {{"year", "%Y"}, {"month", "%m"}, {"day", "%d"}, {"hour", "%H"}, {"minute", "%M"},
                 {"second", "%S"}}};
            std::string_view f;
            for (auto& [k, v] : parts)
                if (k == name)
                    f = v;
            e.sql = "CAST(strftime('" + std::string(f) + "', " + a[0] + ") AS INTEGER)";
        } else {
            // Aggregates and SQLite's own functions keep their name.
            e.sql = fn(written.c_str(), 0, static_cast<size_t>(-1));
        }
        return e;
    }

    // ---- UPDATE, plain and joined

    std::vector<std::pair<std::string, bool>> namePath()
    {
        std::vector<std::pair<std::string, bool>> parts;
        for (;;) {
            const Tok& tk = peek();
            if (tk.kind != K::Ident && tk.kind != K::Quoted)
                break;
            parts.emplace_back(tk.text, tk.kind == K::Quoted);
            ++p_;
            if (!isOp(0, "."))
                break;
            ++p_;
        }
        return parts;
    }

    std::string update()
    {
        const size_t targetBegin = p_;
        int depth = 0;
        bool joined = false;
        while (p_ < end_) {
            if (isOp(0, "("))
                ++depth;
            else if (isOp(0, ")")) {
                if (depth == 0)
                    break;
                --depth;
            } else if (isWord(0, "JOIN"))
                joined = true;
            else if (depth == 0 && isWord(0, "SET"))
                break;
            ++p_;
        }
        if (!isWord(0, "SET"))
            throw TranslateError("UPDATE ohne SET im SQL-Text");
        const size_t targetEnd = p_;
        ++p_;
        std::vector<Assignment> assignments;
        for (;;) {
            Assignment a;
            for (auto& [text, q] : namePath()) {
                (void)q;
                a.parts.push_back(text);
            }
            if (a.parts.empty())
                throw TranslateError("Zuweisung erwartet nach SET" + near());
            expectOp("=", "Gleichheitszeichen erwartet in der Zuweisung");
            a.rhs = sequence(StopComma | StopParen | StopWhere);
            if (a.rhs.empty())
                throw TranslateError("Wert fehlt in der Zuweisung an " + a.parts.back());
            assignments.push_back(std::move(a));
            if (isOp(0, ",")) {
                ++p_;
                continue;
            }
            break;
        }
        std::string where;
        if (isWord(0, "WHERE")) {
            ++p_;
            where = sequence(StopParen);
        }

        auto setList = [&]() {
            std::string s;
            for (size_t i = 0; i < assignments.size(); ++i)
                s += (i ? ", " : "") + nameSql(assignments[i].parts.back(), true) + " = " + assignments[i].rhs;
            return s;
        };

        if (!joined) {
            Translator target(t_, targetBegin, targetEnd, schema_, depth_);
            std::string tsql = target.sequence(0);
            std::string out = "UPDATE " + tsql + " SET " + setList();
            if (!where.empty())
                out += " WHERE " + where;
            return out;
        }

        std::vector<JoinTable> tables;
        std::vector<std::string> conds;
        Translator jt(t_, targetBegin, targetEnd, schema_, depth_);
        jt.joinExpr(tables, conds);
        if (jt.p_ < jt.end_)
            throw TranslateError("Unerwarteter Text in der verknüpften Aktualisierung" + jt.near());

        // The table that is written: named by the targets' qualifiers, else the one holding the columns.
        int target = -1;
        auto vote = [&](int idx, const std::string& col) {
            if (target >= 0 && target != idx)
                throw TranslateError("Eine verknüpfte Aktualisierung kann nur eine Tabelle ändern (" + col + ")");
            target = idx;
        };
        for (const auto& a : assignments) {
            const std::string col = a.parts.back();
            if (a.parts.size() >= 2) {
                const std::string q = lowerAscii(a.parts[a.parts.size() - 2]);
                int found = -1;
                for (size_t i = 0; i < tables.size(); ++i)
                    if (lowerAscii(tables[i].alias) == q || (tables[i].alias.empty() && lowerAscii(tables[i].name) == q))
                        found = static_cast<int>(i);
                if (found < 0)
                    for (size_t i = 0; i < tables.size(); ++i)
                        if (lowerAscii(tables[i].name) == q)
                            found = static_cast<int>(i);
                if (found < 0)
                    throw TranslateError("Unbekannte Tabelle " + a.parts[a.parts.size() - 2] +
                                         " in der Zuweisung an " + col);
                vote(found, col);
            } else if (schema_) {
                int found = -1;
                for (size_t i = 0; i < tables.size(); ++i) {
                    for (const auto& c : schema_->columns(tables[i].name)) {
                        if (lowerAscii(c) == lowerAscii(col) ||
                            (hasNonAscii(col) && lowerAscii(c) == lowerAscii(schema_->spelling(col)))) {
                            if (found >= 0 && found != static_cast<int>(i))
                                throw TranslateError("Mehrdeutige Spalte " + col +
                                                     " in der verknüpften Aktualisierung");
                            found = static_cast<int>(i);
                        }
                    }
                }
                if (found >= 0)
                    vote(found, col);
            }
        }
        if (target < 0)
            target = 0;
        std::string out = "UPDATE " + tables[static_cast<size_t>(target)].sql + " SET " + setList();
        std::string from;
        for (size_t i = 0; i < tables.size(); ++i)
            if (static_cast<int>(i) != target)
                from += (from.empty() ? "" : ", ") + tables[i].sql;
        out += " FROM " + from;
        std::string w;
        for (const auto& c : conds)
            w += (w.empty() ? "(" : " AND (") + c + ")";
        if (!where.empty())
            w += " AND (" + where + ")";
        out += " WHERE " + w;
        return out;
    }

    bool joinWord() const
    {
        return isWord(0, "INNER") || isWord(0, "JOIN") || isWord(0, "LEFT") || isWord(0, "RIGHT") ||
               isWord(0, "FULL") || isWord(0, "OUTER") || isWord(0, "CROSS");
    }

    void joinExpr(std::vector<JoinTable>& tables, std::vector<std::string>& conds)
    {
        Depth guard(depth_);
        joinTerm(tables, conds);
        while (joinWord()) {
            if (isWord(0, "LEFT") || isWord(0, "RIGHT") || isWord(0, "FULL") || isWord(0, "OUTER") ||
                isWord(0, "CROSS"))
                throw TranslateError("Eine verknüpfte Aktualisierung ist nur mit INNER JOIN möglich");
            if (isWord(0, "INNER"))
                ++p_;
            if (!isWord(0, "JOIN"))
                throw TranslateError("JOIN erwartet" + near());
            ++p_;
            joinTerm(tables, conds);
            if (!isWord(0, "ON"))
                throw TranslateError("ON erwartet in der verknüpften Aktualisierung" + near());
            ++p_;
            const size_t b = p_;
            int depth = 0;
            while (p_ < end_) {
                if (isOp(0, "("))
                    ++depth;
                else if (isOp(0, ")")) {
                    if (depth == 0)
                        break;
                    --depth;
                } else if (depth == 0 && joinWord())
                    break;
                ++p_;
            }
            Translator cond(t_, b, p_, schema_, depth_);
            std::string c = cond.sequence(0);
            if (c.empty())
                throw TranslateError("Bedingung fehlt nach ON");
            conds.push_back(std::move(c));
        }
    }

    void joinTerm(std::vector<JoinTable>& tables, std::vector<std::string>& conds)
    {
        if (isOp(0, "(")) {
            ++p_;
            joinExpr(tables, conds);
            expectOp(")", "Klammer nicht geschlossen");
            return;
        }
        const Tok& tk = peek();
        if (tk.kind != K::Ident && tk.kind != K::Quoted)
            throw TranslateError("Tabellenname erwartet" + near());
        JoinTable jt;
        jt.name = tk.text;
        jt.sql = nameSql(tk.text, tk.kind == K::Quoted);
        ++p_;
        if (isWord(0, "AS"))
            ++p_;
        const Tok& al = peek();
        if ((al.kind == K::Quoted || (al.kind == K::Ident && !isClauseKeyword(al.upper)))) {
            jt.alias = al.text;
            jt.sql += " AS " + nameSql(al.text, al.kind == K::Quoted);
            ++p_;
        }
        tables.push_back(std::move(jt));
    }
};

}  // namespace

std::string translate(std::string_view jet)
{
    return translate(jet, nullptr);
}

std::string translate(std::string_view jet, const Schema* schema)
{
    jet::installSqlFunctions();  // the output calls them, on whatever connection runs it
    std::vector<Tok> toks = tokenize(jet);
    Translator tr(toks, 0, toks.size(), schema);
    return tr.statement();
}

std::string quote(std::string_view text, char quoteChar)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += quoteChar;
    for (char c : text) {
        out += c;
        if (c == quoteChar)
            out += c;
    }
    out += quoteChar;
    return out;
}

}  // namespace jetsql
