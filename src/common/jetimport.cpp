#include "common/jetimport.h"

#include "common/jetdb.h"
#include "common/jetsql.h"

#include <mdbtools.h>
#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <random>
#include <stdexcept>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace jetimport {

namespace {

// ---------------------------------------------------------------- file recognition

constexpr unsigned char kJetMagic[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetName[] = "Standard Jet DB";   // followed by a NUL byte in the file
constexpr char kAceName[] = "Standard ACE DB";
constexpr char kSqliteMagic[] = "SQLite format 3";  // 16 bytes with its NUL

// Reads up to n bytes from the start of file; -1 when it cannot be opened.
long readHead(const fs::path& file, unsigned char* buf, size_t n) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(fd, buf + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    return static_cast<long>(got);
}

bool isJetHead(const unsigned char* h, long n) {
    if (n < 20 || std::memcmp(h, kJetMagic, 4) != 0) return false;
    return std::memcmp(h + 4, kJetName, sizeof kJetName) == 0 ||
           std::memcmp(h + 4, kAceName, sizeof kAceName) == 0;
}

std::string shown(const fs::path& p) { return p.string(); }

[[noreturn]] void unreadable(const fs::path& file) {
    throw jet::Error("Die Datei \"" + shown(file) + "\" ist keine lesbare Access-Datenbank.");
}

// Checks what libmdb would trust blindly: the signature, the format version, and that the file
// is made of whole pages. A file cut off at a page boundary passes here; the row counts catch it.
void checkJetFile(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno == ENOENT) throw jet::Error("Die Datei \"" + shown(file) + "\" wurde nicht gefunden.");
        throw jet::Error("Die Datei \"" + shown(file) + "\" kann nicht gelesen werden: " + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) unreadable(file);
    unsigned char head[32] = {};
    long n = readHead(file, head, sizeof head);
    if (n < 0) throw jet::Error("Die Datei \"" + shown(file) + "\" kann nicht gelesen werden: " + std::strerror(errno));
    if (!isJetHead(head, n)) unreadable(file);
    unsigned version = head[0x14];
    off_t pageSize = version == MDB_VER_JET3 ? 2048 : 4096;
    if (version > MDB_VER_ACCDB_2019) unreadable(file);
    // page 0 header, page 1, page 2 holds the catalog table
    if (st.st_size % pageSize != 0 || st.st_size < 3 * pageSize) unreadable(file);
}

// ---------------------------------------------------------------- child -> parent messages

// Messages are a tag byte and length-prefixed fields, written to a pipe.
class Writer {
public:
    explicit Writer(int fd) : fd_(fd) {}
    void send(char tag, std::initializer_list<std::string_view> fields) {
        std::string m(1, tag);
        putInt(m, static_cast<uint32_t>(fields.size()));
        for (auto f : fields) {
            putInt(m, static_cast<uint32_t>(f.size()));
            m.append(f);
        }
        const char* p = m.data();
        size_t left = m.size();
        while (left) {
            ssize_t w = ::write(fd_, p, left);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) ::_exit(3);  // parent gone
            p += w;
            left -= static_cast<size_t>(w);
        }
    }

private:
    static void putInt(std::string& m, uint32_t v) {
        for (int i = 0; i < 4; ++i) m.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    }
    int fd_;
};

struct Message {
    char tag = 0;
    std::vector<std::string> fields;
};

// Takes complete messages off the front of buf.
bool takeMessage(std::string& buf, size_t& pos, Message& out) {
    auto getInt = [&](size_t at, uint32_t& v) {
        if (at + 4 > buf.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(buf[at + i])) << (8 * i);
        return true;
    };
    size_t p = pos;
    if (p >= buf.size()) return false;
    Message m;
    m.tag = buf[p++];
    uint32_t count;
    if (!getInt(p, count)) return false;
    p += 4;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t len;
        if (!getInt(p, len)) return false;
        p += 4;
        if (p + len > buf.size()) return false;
        m.fields.emplace_back(buf, p, len);
        p += len;
    }
    pos = p;
    out = std::move(m);
    return true;
}

// ---------------------------------------------------------------- reading through libmdb

struct DamagedFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Cell {
    enum Kind { Null, Int, Real, Text, Blob } kind = Null;
    int64_t i = 0;
    double d = 0;
    std::string s;  // text (UTF-8) or blob bytes
};

int64_t le(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return static_cast<int64_t>(v);
}

double leDouble(const unsigned char* p) { return std::bit_cast<double>(static_cast<uint64_t>(le(p, 8))); }

// Single values are stored as the shortest decimal that reads back as the same single,
// so 0.1 stays 0.1 and does not become 0.100000001490116.
double singleToDouble(float f) {
    if (!std::isfinite(f)) return f;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, f);
    double d = f;
    std::from_chars(buf, r.ptr, d);
    return d;
}

// Column types newer than libmdb knows.
constexpr int kBigInt = 0x13;   // Large Number: 64-bit integer
constexpr int kExtDate = 0x14;  // Date/Time Extended: 42 ASCII bytes

// A decimal as exact text with `scale` digits after the point. magnitude: 16 bytes, most
// significant first.
std::string decimalText(const unsigned char* magnitude, bool negative, int scale) {
    unsigned __int128 v = 0;
    for (int i = 0; i < 16; ++i) v = (v << 8) | magnitude[i];
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    bool zero = digits == "0";
    if (digits.size() <= static_cast<size_t>(scale)) digits.append(static_cast<size_t>(scale) + 1 - digits.size(), '0');
    std::reverse(digits.begin(), digits.end());
    if (scale > 0) digits.insert(digits.size() - static_cast<size_t>(scale), 1, '.');
    return negative && !zero ? "-" + digits : digits;
}

// A Numeric value: a sign byte, then four 32-bit little-endian words, the most significant first.
std::string numericText(const unsigned char* p, int scale) {
    unsigned char m[16];
    for (int w = 0; w < 4; ++w)
        for (int b = 0; b < 4; ++b) m[w * 4 + b] = p[1 + w * 4 + 3 - b];
    return decimalText(m, (p[0] & 0x80) != 0, scale);
}

// A calculated column's decimal carries its own scale: 2 bytes length, scale, sign, then the
// magnitude as a leading 32-bit word (when the length is not a multiple of 8) and 64-bit
// words, each little-endian, the most significant first.
std::optional<std::string> calculatedNumericText(const unsigned char* p, size_t n) {
    if (n < 4) return std::nullopt;
    size_t total = static_cast<size_t>(le(p, 2));  // 0: up to the end
    size_t len = total > 0 ? total : n - 2;
    if (len < 2) return std::nullopt;
    len = std::min<size_t>((len - 2) / 4 * 4, 16);
    if (n < 4 + len) return std::nullopt;
    int scale = p[2];
    bool negative = p[3] != 0;
    const unsigned char* src = p + 4;
    unsigned char m[16] = {};
    unsigned char* dst = m + 16 - len;
    size_t at = 0;
    auto word = [&](size_t bytes) {
        for (size_t b = 0; b < bytes; ++b) dst[at + b] = src[at + bytes - 1 - b];
        at += bytes;
    };
    if (len % 8 != 0) word(4);
    while (at < len) word(8);
    return decimalText(m, negative, scale);
}

// Civil date of a day count from 1970-01-01 (proleptic Gregorian calendar).
void civilFromDays(int64_t days, int64_t& y, int64_t& m, int64_t& d) {
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
}

// Reads single pages, for what libmdb does not check or does not expose. Through libmdb's
// second page buffer, which undoes the page encoding of encoded Jet 4 files.
class PageReader {
public:
    explicit PageReader(MdbHandle* mdb) : mdb_(mdb), pageSize_(static_cast<size_t>(mdb->fmt->pg_size)) {
        struct stat st {};
        if (::fstat(::fileno(mdb->f->stream), &st) != 0) throw DamagedFile("stat");
        pages_ = static_cast<uint64_t>(st.st_size) / pageSize_;
    }
    size_t pageSize() const { return pageSize_; }
    uint64_t pages() const { return pages_; }
    // Page pg; damaged when it lies beyond the file's end. Valid until the next read.
    const unsigned char* read(uint64_t pg) const {
        if (pg >= pages_ || mdb_read_alt_pg(mdb_, static_cast<unsigned long>(pg)) != static_cast<ssize_t>(pageSize_))
            throw DamagedFile("page beyond the end");
        return mdb_->alt_pg_buf;
    }

private:
    MdbHandle* mdb_;
    size_t pageSize_;
    uint64_t pages_ = 0;
};

class MdbFile {
public:
    explicit MdbFile(const fs::path& file) {
        h_ = mdb_open(file.c_str(), MDB_NOFLAGS);
        if (!h_) throw DamagedFile("mdb_open");
        pages_.emplace(h_);
        if (!mdb_read_catalog(h_, MDB_ANY)) throw DamagedFile("catalog");
    }
    ~MdbFile() {
        if (h_) mdb_close(h_);
    }
    MdbFile(const MdbFile&) = delete;
    MdbFile& operator=(const MdbFile&) = delete;
    MdbHandle* h() const { return h_; }
    const PageReader& pages() const { return *pages_; }
    bool jet3() const { return h_->f->jet_version == MDB_VER_JET3; }

    std::vector<MdbCatalogEntry*> entries() const {
        std::vector<MdbCatalogEntry*> out;
        for (unsigned i = 0; i < h_->num_catalog; ++i)
            out.push_back(static_cast<MdbCatalogEntry*>(g_ptr_array_index(h_->catalog, i)));
        return out;
    }
    MdbCatalogEntry* entry(const char* name) const {
        for (auto* e : entries())
            if (std::strcmp(e->object_name, name) == 0) return e;
        return nullptr;
    }

private:
    MdbHandle* h_ = nullptr;
    std::optional<PageReader> pages_;
};

// A column as the import sees it: libmdb's column plus what libmdb leaves out.
struct Column {
    MdbColumn* col = nullptr;
    int type = 0;             // the value's type; for a calculated column its result type
    bool calculated = false;  // the stored value is wrapped (Access 2010 and later)
    int precision = 0, scale = 0;
};

// Reads the rows of one table. Values are taken from the raw row bytes that libmdb locates;
// libmdb's own text formatting is used only for text (character set conversion) and GUIDs.
class TableReader {
public:
    TableReader(MdbFile& file, MdbCatalogEntry* entry) : file_(file), mdb_(file.h()) {
        table_ = mdb_read_table(entry);
        if (!table_) throw DamagedFile("table definition");
        try {
            if (!mdb_read_columns(table_)) throw DamagedFile("columns");
            for (unsigned i = 0; i < table_->num_cols; ++i) {
                Column c;
                c.col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
                c.type = c.col->col_type;
                columns_.push_back(c);
            }
            readDefinition(entry);
            checkDataPages(entry);
        } catch (...) {
            mdb_free_tabledef(table_);
            throw;
        }
        fields_.resize(std::max<size_t>(columns_.size(), 1));
        mdb_rewind_table(table_);
    }
    ~TableReader() { mdb_free_tabledef(table_); }
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    const std::vector<Column>& columns() const { return columns_; }
    int columnIndex(const char* name) const {
        for (size_t i = 0; i < columns_.size(); ++i)
            if (g_ascii_strcasecmp(columns_[i].col->name, name) == 0) return static_cast<int>(i);
        return -1;
    }

    // Next row into cells (one per column); false at the end. Every row on the table's data
    // pages is read: the row count in the definition is updated lazily by Access and proves
    // nothing.
    bool next(std::vector<Cell>& cells) {
        if (columns_.empty()) return false;
        if (!mdb_fetch_row(table_)) {
            // libmdb passes over rows it cannot take apart
            if (read_ != stored_) throw DamagedFile("rows that cannot be decoded");
            return false;
        }
        ++read_;
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb_, static_cast<int>(table_->cur_row) - 1, &start, &size) != 0) throw DamagedFile("row");
        start &= 0x1fff;
        const size_t pg = static_cast<size_t>(mdb_->fmt->pg_size);
        if (size == 0 || static_cast<size_t>(start) + size > pg) throw DamagedFile("row");
        if (mdb_crack_row(table_, start, size, fields_.data()) < 0) throw DamagedFile("row");
        cells.resize(columns_.size());
        for (size_t i = 0; i < columns_.size(); ++i) {
            const MdbField& f = fields_[i];
            size_t c = static_cast<size_t>(f.colnum);
            if (c >= columns_.size()) throw DamagedFile("row");
            convert(columns_[c], f, cells[c]);
        }
        return true;
    }

private:
    // Precision, scale and the calculated flag, from the column entries of the table
    // definition (libmdb does not keep the extended flags, and names precision "scale").
    void readDefinition(MdbCatalogEntry* entry) {
        const PageReader& pages = file_.pages();
        const MdbFormatConstants& fmt = *mdb_->fmt;
        std::string def;
        uint64_t pg = entry->table_pg;
        for (int n = 0; pg != 0; ++n) {
            if (n > 256) throw DamagedFile("table definition chain");
            const unsigned char* page = pages.read(pg);
            if (page[0] != 0x02) throw DamagedFile("table definition page");
            size_t skip = n == 0 ? 0 : 8;
            def.append(reinterpret_cast<const char*>(page) + skip, pages.pageSize() - skip);
            pg = static_cast<uint32_t>(le(page + 4, 4));
        }
        const auto* d = reinterpret_cast<const unsigned char*>(def.data());
        size_t at = fmt.tab_cols_start_offset + static_cast<size_t>(table_->num_real_idxs) * fmt.tab_ridx_entry_size;
        size_t precisionAt = std::min(fmt.col_scale_offset, fmt.col_prec_offset);
        for (unsigned i = 0; i < table_->num_cols; ++i, at += fmt.tab_col_entry_size) {
            if (at + fmt.tab_col_entry_size > def.size()) throw DamagedFile("column definition");
            const unsigned char* e = d + at;
            int number = static_cast<int>(le(e + fmt.col_num_offset, 2));
            for (auto& c : columns_) {
                if (c.col->col_num != number) continue;
                c.precision = e[precisionAt];
                c.scale = e[precisionAt + 1];
                c.calculated = !file_.jet3() && (e[fmt.col_flags_offset + 1] & 0xc0) != 0;
                if (c.calculated) {
                    // the stored type says how the value is kept; the result type what it is
                    const char* result = mdb_col_get_prop(c.col, "ResultType");
                    int type = result ? std::atoi(result) : 0;
                    if (type > 0) c.type = type;
                }
            }
        }
    }

    // Every page the usage map names must be one of the table's data pages inside the file:
    // a file cut short or pages of another kind are damage, not an early end of the table.
    void checkDataPages(MdbCatalogEntry* entry) {
        const PageReader& pages = file_.pages();
        unsigned char* map = table_->usage_map;
        size_t size = table_->map_sz;
        if (!map || size < 1) throw DamagedFile("usage map");
        if (map[0] == 1) {  // a list of bitmap pages
            for (size_t at = 1; at + 4 <= size; at += 4) {
                uint32_t bitmap = static_cast<uint32_t>(le(map + at, 4));
                if (bitmap == 0) continue;
                if (pages.read(bitmap)[0] != 0x05) throw DamagedFile("usage bitmap page");
            }
        } else if (map[0] != 0) {
            throw DamagedFile("usage map type");
        }
        uint64_t seen = 0;
        for (gint32 pg = mdb_map_find_next(mdb_, map, static_cast<unsigned>(size), 0); pg != 0;
             pg = mdb_map_find_next(mdb_, map, static_cast<unsigned>(size), static_cast<guint32>(pg))) {
            if (pg < 0 || ++seen > pages.pages()) throw DamagedFile("usage map");
            const unsigned char* page = pages.read(static_cast<uint32_t>(pg));
            if (std::memcmp(page + 4, "LVAL", 4) == 0) continue;  // long values, not rows
            if (page[0] != 0x01 || static_cast<uint32_t>(le(page + 4, 4)) != entry->table_pg)
                throw DamagedFile("data page of another kind");
            countRows(page, pages.pageSize());
        }
    }

    // Counts the rows of a data page that are not deleted; each must lie inside the page,
    // after the offset table, before the row stored ahead of it.
    void countRows(const unsigned char* page, size_t pageSize) {
        const size_t countAt = mdb_->fmt->row_count_offset;
        size_t rows = static_cast<size_t>(le(page + countAt, 2));
        size_t tableEnd = countAt + 2 + 2 * rows;
        if (tableEnd > pageSize) throw DamagedFile("row offsets");
        size_t end = pageSize;
        for (size_t r = 0; r < rows; ++r) {
            size_t offset = static_cast<size_t>(le(page + countAt + 2 + 2 * r, 2));
            size_t start = offset & 0x1fff;
            if (!(offset & 0x4000)) {
                if (start < tableEnd || start >= end) throw DamagedFile("row outside its page");
                ++stored_;
            }
            end = std::min(end, start);
        }
    }

    void convert(const Column& c, const MdbField& f, Cell& out) {
        if (c.type == MDB_BOOL && !c.calculated) {  // the value is the null bit itself
            out.kind = Cell::Int;
            out.i = f.is_null ? 0 : -1;
            return;
        }
        if (f.is_null) {
            out.kind = Cell::Null;
            return;
        }
        const size_t pg = static_cast<size_t>(mdb_->fmt->pg_size);
        if (f.start < 0 || f.siz < 0 || static_cast<size_t>(f.start) + static_cast<size_t>(f.siz) > pg)
            throw DamagedFile("field");
        const unsigned char* p = mdb_->pg_buf + f.start;
        size_t n = static_cast<size_t>(f.siz);
        if (c.col->col_type == MDB_MEMO || c.col->col_type == MDB_OLE) {
            readLong(f, lval_);
            p = reinterpret_cast<const unsigned char*>(lval_.data());
            n = lval_.size();
        }
        if (c.calculated && n >= 20) {
            // 16 bytes, the value's length, the value, 3 bytes
            size_t len = static_cast<size_t>(static_cast<uint32_t>(le(p + 16, 4)));
            p += 20;
            n = std::min(len, n - 20);
        }
        decode(c, p, n, out);
    }

    void decode(const Column& c, const unsigned char* p, size_t n, Cell& out) {
        auto need = [&](size_t bytes) {
            if (n < bytes) throw DamagedFile("field");
        };
        switch (c.type) {
        case MDB_BOOL:  // calculated: the value is stored
            need(1);
            out.kind = Cell::Int;
            out.i = p[0] ? -1 : 0;
            break;
        case MDB_BYTE:
            need(1);
            out.kind = Cell::Int;
            out.i = p[0];
            break;
        case MDB_INT:
            need(2);
            out.kind = Cell::Int;
            out.i = static_cast<int16_t>(le(p, 2));
            break;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            need(4);
            out.kind = Cell::Int;
            out.i = static_cast<int32_t>(le(p, 4));
            break;
        case kBigInt:
            need(8);
            out.kind = Cell::Int;
            out.i = le(p, 8);
            break;
        case MDB_MONEY:
            need(8);
            out.kind = Cell::Real;
            out.d = static_cast<double>(le(p, 8)) / 10000.0;
            break;
        case MDB_FLOAT:
            need(4);
            out.kind = Cell::Real;
            out.d = singleToDouble(std::bit_cast<float>(static_cast<uint32_t>(le(p, 4))));
            break;
        case MDB_DOUBLE:
            need(8);
            out.kind = Cell::Real;
            out.d = leDouble(p);
            break;
        case MDB_DATETIME: {
            need(8);
            double days = leDouble(p);
            out.s = dateText(days);
            if (out.s.empty()) {  // outside Jet's range: keep the number rather than lose it
                out.kind = Cell::Real;
                out.d = days;
            } else {
                out.kind = Cell::Text;
            }
            break;
        }
        case kExtDate:
            out.kind = Cell::Text;
            out.s = extendedDateText(std::string_view(reinterpret_cast<const char*>(p), n));
            if (out.s.empty()) throw DamagedFile("extended date");
            break;
        case MDB_TEXT:
        case MDB_MEMO:
            out.kind = Cell::Text;
            toUtf8(p, n, out.s);
            break;
        case MDB_REPID: {
            need(16);
            char* s = mdb_uuid_to_string(p, 0);
            out.kind = Cell::Text;
            out.s = s ? s : "";
            g_free(s);
            break;
        }
        case MDB_NUMERIC: {
            std::optional<std::string> text;
            if (c.calculated) text = calculatedNumericText(p, n);
            else if (n >= 17) text = numericText(p, c.scale);
            if (!text) throw DamagedFile("numeric");
            out.kind = Cell::Text;
            out.s = std::move(*text);
            break;
        }
        default:  // OLE, binary and anything unknown: the bytes as they are
            out.kind = Cell::Blob;
            out.s.assign(reinterpret_cast<const char*>(p), n);
            break;
        }
    }

    // Character set conversion by libmdb (Jet 3: the file's code page, Jet 4: UCS-2 with
    // Jet's compression), into UTF-8. Three bytes per input byte always suffice.
    void toUtf8(const unsigned char* src, size_t len, std::string& out) {
        if (len == 0) {
            out.clear();
            return;
        }
        size_t cap = len * 3 + 8;
        if (conv_.size() < cap + 1) conv_.resize(cap + 1);
        int n = mdb_unicode2ascii(mdb_, reinterpret_cast<const char*>(src), len, conv_.data(), cap);
        if (n < 0) n = 0;
        out.assign(conv_.data(), static_cast<size_t>(n));
    }

    // Memo and OLE values: a 12-byte header in the row (length and flags, then the page/row
    // of the data), the data inline, on one long-value page, or in a chain of them.
    void readLong(const MdbField& f, std::string& out) {
        out.clear();
        if (f.siz < MDB_MEMO_OVERHEAD) return;
        const unsigned char* h = mdb_->pg_buf + f.start;
        uint32_t head = static_cast<uint32_t>(le(h, 4));
        uint32_t length = head & 0x3fffffff;
        if (head & 0x80000000u) {
            out.assign(reinterpret_cast<const char*>(h + MDB_MEMO_OVERHEAD), static_cast<size_t>(f.siz - MDB_MEMO_OVERHEAD));
            return;
        }
        int pgRow = static_cast<int>(le(h + 4, 4));
        const size_t pg = static_cast<size_t>(mdb_->fmt->pg_size);
        if (head & 0x40000000u) {
            void* buf = nullptr;
            int rowStart = 0;
            size_t len = 0;
            if (mdb_find_pg_row(mdb_, pgRow, &buf, &rowStart, &len) != 0 || static_cast<size_t>(rowStart) + len > pg)
                throw DamagedFile("long value");
            out.assign(static_cast<const char*>(buf) + rowStart, std::min<size_t>(len, length));
            return;
        }
        if ((head & 0xff000000u) != 0) throw DamagedFile("long value flags");
        // chained pages: each row starts with the page/row of the next one
        size_t guard = 0;
        while (out.size() < length) {
            if (pgRow == 0 || ++guard > 1000000) throw DamagedFile("long value chain");
            void* buf = nullptr;
            int rowStart = 0;
            size_t len = 0;
            if (mdb_find_pg_row(mdb_, pgRow, &buf, &rowStart, &len) != 0 || len < 4 ||
                static_cast<size_t>(rowStart) + len > pg)
                throw DamagedFile("long value");
            const char* row = static_cast<const char*>(buf) + rowStart;
            size_t take = std::min<size_t>(len - 4, length - out.size());
            out.append(row + 4, take);
            pgRow = static_cast<int>(le(reinterpret_cast<const unsigned char*>(row), 4));
        }
    }

    MdbFile& file_;
    MdbHandle* mdb_;
    MdbTableDef* table_ = nullptr;
    std::vector<Column> columns_;
    std::vector<MdbField> fields_;
    uint64_t stored_ = 0, read_ = 0;  // rows on the data pages, rows read
    std::vector<char> conv_;
    std::string lval_;
};

// ---------------------------------------------------------------- declared types

std::string declaredType(const Column& c, bool jet3) {
    switch (c.type) {
    case MDB_BOOL: return "BOOLEAN";
    case MDB_BYTE: return "TINYINT";
    case MDB_INT: return "SMALLINT";
    case MDB_LONGINT: return "INTEGER";
    case kBigInt: return "BIGINT";
    case MDB_MONEY: return "CURRENCY";
    case MDB_FLOAT: return "FLOAT";
    case MDB_DOUBLE: return "DOUBLE";
    case MDB_DATETIME: return "DATETIME";
    case kExtDate: return "DATETIME2";
    case MDB_BINARY: return "VARBINARY(" + std::to_string(c.col->col_size) + ")";
    case MDB_TEXT: {
        int bytes = c.col->col_size;
        if (c.calculated && c.col->col_type == MDB_TEXT) bytes -= 23;  // the wrapper's share
        int chars = jet3 ? bytes : bytes / 2;  // Jet 4 counts UCS-2 bytes
        return "VARCHAR(" + std::to_string(chars > 0 ? chars : 255) + ") COLLATE NOCASE";
    }
    case MDB_OLE: return "LONGBINARY";
    case MDB_MEMO: return "LONGTEXT COLLATE NOCASE";
    case MDB_REPID: return "GUID";
    // Exact text: under the numeric affinity that DECIMAL alone gives, SQLite would turn the
    // text into a double and keep 15 digits. The leading TEXT gives the column text affinity.
    case MDB_NUMERIC:
        if (c.calculated) return "TEXT DECIMAL";  // each value carries its own scale
        return "TEXT DECIMAL(" + std::to_string(c.precision) + "," + std::to_string(c.scale) + ")";
    case MDB_COMPLEX: return "INTEGER";
    default: return "LONGBINARY";
    }
}

std::string quoteIdent(std::string_view name) {
    std::string q = "\"";
    for (char ch : name) {
        if (ch == '"') q += '"';
        q += ch;
    }
    q += '"';
    return q;
}

// ---------------------------------------------------------------- stored queries

// One row of MSysQueries.
struct QueryRow {
    int attribute = -1;
    std::optional<std::string> expression, name1, name2;
    std::optional<int> flag;
    int objectId = 0;
};

enum Attr { kType = 1, kParameter = 2, kFlag = 3, kRemoteDb = 4, kTable = 5, kColumn = 6, kJoin = 7,
            kWhere = 8, kGroupBy = 9, kHaving = 10, kOrderBy = 11 };
enum QueryType { kSelect = 1, kMakeTable = 2, kAppend = 3, kUpdate = 4, kDelete = 5, kCrossTab = 6,
                 kDataDefinition = 7, kPassThrough = 8, kUnion = 9 };

bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_'; }

// Brackets a name (each dotted part) when it holds anything but letters, digits and '_'.
std::string optionalBracket(const std::string& name, bool identifier) {
    auto one = [](const std::string& part) {
        if (part.size() >= 2 && part.front() == '[' && part.back() == ']') return part;
        bool plain = !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return isWordChar(static_cast<unsigned char>(c)); });
        return plain ? part : "[" + part + "]";
    };
    if (!identifier) return one(name);
    std::string out;
    size_t from = 0;
    while (true) {
        size_t dot = name.find('.', from);
        out += one(name.substr(from, dot == std::string::npos ? std::string::npos : dot - from));
        if (dot == std::string::npos) break;
        out += '.';
        from = dot + 1;
    }
    return out;
}

std::string join(const std::vector<std::string>& parts, const char* sep = ", ") {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += sep;
        out += parts[i];
    }
    return out;
}

// Rebuilds the Jet SQL text of a stored query from its MSysQueries rows, the way Access
// itself writes it back (joins nested, aliases, parameters).
class QueryText {
public:
    explicit QueryText(std::vector<QueryRow> rows) : rows_(std::move(rows)) {}

    int type() const {
        const QueryRow* r = first(kType);
        return r && r->flag ? *r->flag : kSelect;
    }
    bool hasParameters() const { return first(kParameter) != nullptr; }

    std::string sql() const {
        std::string out;
        int t = type();
        if (t == kDataDefinition || t == kPassThrough) {
            const QueryRow* r = first(kType);
            return r && r->expression ? *r->expression : std::string();
        }
        out += parameters();
        switch (t) {
        case kSelect: out += select(true, false, rowsOf(kColumn), rowsOf(kGroupBy)); break;
        case kMakeTable: out += select(true, true, rowsOf(kColumn), rowsOf(kGroupBy)); break;
        case kAppend: out += append(); break;
        case kUpdate: out += update(); break;
        case kDelete: out += "DELETE " + select(false, false, rowsOf(kColumn), rowsOf(kGroupBy)); break;
        case kCrossTab: out += crossTab(); break;
        case kUnion: out += unionText(); break;
        default: throw std::runtime_error("Abfragetyp " + std::to_string(t) + " unbekannt");
        }
        if (flagSet(0x04)) out += "\nWITH OWNERACCESS OPTION";
        return out;
    }

private:
    const QueryRow* first(int attr) const {
        for (auto& r : rows_)
            if (r.attribute == attr) return &r;
        return nullptr;
    }
    std::vector<const QueryRow*> rowsOf(int attr) const {
        std::vector<const QueryRow*> out;
        for (auto& r : rows_)
            if (r.attribute == attr) out.push_back(&r);
        return out;
    }
    bool flagSet(int mask) const {
        const QueryRow* r = first(kFlag);
        return r && r->flag && (*r->flag & mask);
    }
    static std::string val(const std::optional<std::string>& s) { return s ? *s : std::string(); }

    std::string parameters() const {
        auto params = rowsOf(kParameter);
        if (params.empty()) return {};
        std::vector<std::string> parts;
        for (auto* p : params) {
            const char* type = "Value";
            switch (p->flag.value_or(0)) {
            case MDB_BOOL: type = "Bit"; break;
            case MDB_BYTE: type = "Byte"; break;
            case MDB_INT: type = "Short"; break;
            case MDB_LONGINT: type = "Long"; break;
            case MDB_MONEY: type = "Currency"; break;
            case MDB_FLOAT: type = "IEEESingle"; break;
            case MDB_DOUBLE: type = "IEEEDouble"; break;
            case MDB_DATETIME: type = "DateTime"; break;
            case MDB_BINARY: type = "Binary"; break;
            case MDB_TEXT: type = "Text"; break;
            case MDB_OLE: type = "LongBinary"; break;
            case MDB_MEMO: type = "Memo"; break;
            case MDB_REPID: type = "Guid"; break;
            default: break;
            }
            std::string name = val(p->name1);
            parts.push_back(optionalBracket(name, false) + " " + type);
        }
        return "PARAMETERS " + join(parts) + ";\n";
    }

    // DISTINCT or DISTINCTROW, and TOP n, may come together (flag 0x18 on a TOP query)
    std::string selectType() const {
        std::string out;
        if (flagSet(0x02)) out = "DISTINCT ";
        else if (flagSet(0x08)) out = "DISTINCTROW ";
        if (flagSet(0x10)) {
            out += "TOP " + val(first(kFlag)->name1);
            if (flagSet(0x20)) out += " PERCENT";
            out += " ";
        }
        return out;
    }

    std::string remoteDb(const std::optional<std::string>& path, const std::optional<std::string>& type) const {
        if (!path && !type) return {};
        std::string out = " IN '" + val(path) + "'";
        if (type) out += " [" + *type + "]";
        return out;
    }

    // FROM list: plain tables, joined pairwise as the join rows say.
    std::vector<std::string> fromTables() const {
        struct Source {
            std::vector<std::string> names;  // tables inside, for matching join rows
            std::string simple;              // a plain table expression
            std::shared_ptr<Source> from, to;
            int joinType = 0;
            std::vector<std::string> on;
            bool contains(const std::string& t) const {
                return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return g_ascii_strcasecmp(n.c_str(), t.c_str()) == 0; });
            }
            std::string text(bool top) const {
                if (!from) return simple;
                static const char* kinds[] = {"", " INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
                if (joinType < 1 || joinType > 3) throw std::runtime_error("Verknüpfungsart " + std::to_string(joinType) + " unbekannt");
                std::string s = top ? "" : "(";
                s += from->text(false) + kinds[joinType] + to->text(false) + " ON ";
                if (on.size() > 1) s += "(" + join(on, ") AND (") + ")";
                else s += on.front();
                if (!top) s += ")";
                return s;
            }
        };
        using Ptr = std::shared_ptr<Source>;
        std::vector<Ptr> sources;
        for (auto* t : rowsOf(kTable)) {
            auto s = std::make_shared<Source>();
            if (t->expression) s->simple += (t->expression->front() == '[' ? *t->expression : "[" + *t->expression + "]") + ".";
            if (t->name1) s->simple += optionalBracket(*t->name1, true);
            if (t->name2) s->simple += " AS " + optionalBracket(*t->name2, false);
            s->names.push_back(t->name2 ? *t->name2 : val(t->name1));
            sources.push_back(s);
        }
        for (auto* j : rowsOf(kJoin)) {
            std::string fromName = val(j->name1), toName = val(j->name2);
            Ptr fromS, toS;
            for (auto it = sources.begin(); it != sources.end() && (!fromS || !toS);) {
                Ptr s = *it;
                if (!fromS && s->contains(fromName)) {
                    fromS = s;
                    if (!toS && s->contains(toName)) {
                        toS = s;
                        break;
                    }
                    it = sources.erase(it);
                } else if (!toS && s->contains(toName)) {
                    toS = s;
                    it = sources.erase(it);
                } else {
                    ++it;
                }
            }
            auto plain = [](const std::string& n) {
                auto s = std::make_shared<Source>();
                s->names.push_back(n);
                s->simple = optionalBracket(n, true);
                return s;
            };
            if (!fromS) fromS = plain(fromName);
            if (!toS) toS = plain(toName);
            int type = j->flag.value_or(1);
            if (fromS == toS) {
                if (fromS->from && fromS->joinType == type) {
                    fromS->on.insert(fromS->on.begin(), val(j->expression));
                    continue;
                }
                throw std::runtime_error("Widersprüchliche Verknüpfungen zwischen " + fromName + " und " + toName);
            }
            auto joined = std::make_shared<Source>();
            joined->names = fromS->names;
            joined->names.insert(joined->names.end(), toS->names.begin(), toS->names.end());
            joined->from = fromS;
            joined->to = toS;
            joined->joinType = type;
            joined->on.push_back(val(j->expression));
            sources.push_back(joined);
        }
        std::vector<std::string> out;
        for (auto& s : sources) out.push_back(s->text(true));
        return out;
    }

    std::string select(bool withSelect, bool into, const std::vector<const QueryRow*>& columns,
                       const std::vector<const QueryRow*>& groups) const {
        std::string out;
        if (withSelect) out += "SELECT " + selectType();
        std::vector<std::string> cols;
        for (auto* c : columns) {
            std::string s = val(c->expression);
            if (c->name1) s += " AS " + optionalBracket(*c->name1, false);
            cols.push_back(s);
        }
        if (flagSet(0x01)) cols.push_back("*");
        out += join(cols);
        if (into) {
            const QueryRow* t = first(kType);
            out += " INTO " + optionalBracket(val(t->name1), true) + remoteDb(t->name2, t->expression);
        }
        out += clauses(groups);
        return out;
    }

    std::string clauses(const std::vector<const QueryRow*>& groups) const {
        std::string out;
        auto from = fromTables();
        if (!from.empty()) {
            out += "\nFROM " + join(from);
            if (const QueryRow* r = first(kRemoteDb)) out += remoteDb(r->name1, r->expression);
        }
        if (const QueryRow* w = first(kWhere); w && w->expression) out += "\nWHERE " + *w->expression;
        std::vector<std::string> g;
        for (auto* r : groups) g.push_back(val(r->expression));
        if (!g.empty()) out += "\nGROUP BY " + join(g);
        if (const QueryRow* h = first(kHaving); h && h->expression) out += "\nHAVING " + *h->expression;
        out += orderBy();
        return out;
    }

    std::string orderBy() const {
        std::vector<std::string> o;
        for (auto* r : rowsOf(kOrderBy)) {
            std::string s = val(r->expression);
            if (r->name1 && g_ascii_strcasecmp(r->name1->c_str(), "D") == 0) s += " DESC";
            o.push_back(s);
        }
        return o.empty() ? std::string() : "\nORDER BY " + join(o);
    }

    std::string append() const {
        const QueryRow* t = first(kType);
        std::string out = "INSERT INTO " + optionalBracket(val(t ? t->name1 : std::nullopt), true) +
                          (t ? remoteDb(t->name2, t->expression) : std::string());
        std::vector<const QueryRow*> values, columns;
        for (auto* c : rowsOf(kColumn)) (c->flag && (*c->flag & 0x8000) ? values : columns).push_back(c);
        if (!values.empty()) {
            std::vector<std::string> v;
            for (auto* c : values) v.push_back(val(c->expression));
            return out + "\nVALUES (" + join(v) + ")";
        }
        // Target columns are the aliases; written as a column list, which Jet and others accept.
        bool allNamed = !columns.empty() && std::all_of(columns.begin(), columns.end(), [](const QueryRow* c) { return c->name1.has_value(); });
        if (!allNamed) return out + "\n" + select(true, false, columns, rowsOf(kGroupBy));
        std::vector<std::string> targets, exprs;
        for (auto* c : columns) {
            targets.push_back(optionalBracket(*c->name1, false));
            exprs.push_back(val(c->expression));
        }
        return out + " (" + join(targets) + ")\nSELECT " + selectType() + join(exprs) + clauses(rowsOf(kGroupBy));
    }

    std::string update() const {
        std::string out = "UPDATE " + join(fromTables());
        if (const QueryRow* r = first(kRemoteDb)) out += remoteDb(r->name1, r->expression);
        std::vector<std::string> sets;
        for (auto* c : rowsOf(kColumn)) sets.push_back(optionalBracket(val(c->name2), true) + " = " + val(c->expression));
        out += "\nSET " + join(sets);
        if (const QueryRow* w = first(kWhere); w && w->expression) out += "\nWHERE " + *w->expression;
        return out;
    }

    std::string crossTab() const {
        std::vector<const QueryRow*> normal, groups;
        const QueryRow* transform = nullptr;
        const QueryRow* pivot = nullptr;
        for (auto* c : rowsOf(kColumn)) {
            int f = c->flag.value_or(0);
            if (f & 0x02) normal.push_back(c);
            else if (f & 0x01) pivot = c;
            else transform = c;
        }
        for (auto* g : rowsOf(kGroupBy))
            if (g->flag.value_or(0) & 0x02) groups.push_back(g);
        std::string out;
        if (transform && transform->expression) {
            out += "TRANSFORM " + *transform->expression;
            if (transform->name1) out += " AS " + optionalBracket(*transform->name1, false);
            out += "\n";
        }
        out += select(true, false, normal, groups);
        out += "\nPIVOT " + (pivot ? val(pivot->expression) : std::string());
        return out;
    }

    std::string unionText() const {
        auto part = [&](const char* id) {
            for (auto* t : rowsOf(kTable))
                if (t->name2 && *t->name2 == id) {
                    std::string s = val(t->expression);
                    size_t b = s.find_first_not_of(" \t\r\n");
                    size_t e = s.find_last_not_of(" \t\r\n;");
                    s = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
                    std::string clean;  // line breaks as single '\n'
                    for (size_t i = 0; i < s.size(); ++i) {
                        if (s[i] == '\r' || s[i] == '\n') {
                            while (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n')) ++i;
                            clean += '\n';
                        } else {
                            clean += s[i];
                        }
                    }
                    return clean;
                }
            throw std::runtime_error("Teil einer UNION-Abfrage fehlt");
        };
        std::string out = part("X7YZ_____1") + "\nUNION " + (flagSet(0x02) ? "" : "ALL ") + part("X7YZ_____2");
        return out + orderBy();
    }

    std::vector<QueryRow> rows_;
};

// ---------------------------------------------------------------- the import (child process)

class Sqlite {
public:
    explicit Sqlite(sqlite3* db) : db_(db) {}
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err ? err : "?";
            sqlite3_free(err);
            throw jet::Error("Die Zieldatenbank kann nicht geschrieben werden: " + msg);
        }
    }
    sqlite3_stmt* prepare(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK)
            throw jet::Error(std::string("Die Zieldatenbank kann nicht geschrieben werden: ") + sqlite3_errmsg(db_));
        return st;
    }
    std::string error() const { return sqlite3_errmsg(db_); }
    sqlite3* db() const { return db_; }

private:
    sqlite3* db_;
};

void bindCell(sqlite3_stmt* st, int index, const Cell& c) {
    switch (c.kind) {
    case Cell::Null: sqlite3_bind_null(st, index); break;
    case Cell::Int: sqlite3_bind_int64(st, index, c.i); break;
    case Cell::Real: sqlite3_bind_double(st, index, c.d); break;
    case Cell::Text: sqlite3_bind_text(st, index, c.s.data(), static_cast<int>(c.s.size()), SQLITE_STATIC); break;
    case Cell::Blob: sqlite3_bind_blob(st, index, c.s.data(), static_cast<int>(c.s.size()), SQLITE_STATIC); break;
    }
}

void importTable(MdbFile& file, MdbCatalogEntry* entry, Sqlite& db, Writer& out) {
    TableReader reader(file, entry);
    std::string name = entry->object_name;
    std::string create = "CREATE TABLE " + quoteIdent(name) + " (";
    std::string insert = "INSERT INTO " + quoteIdent(name) + " VALUES (";
    const auto& cols = reader.columns();
    for (size_t i = 0; i < cols.size(); ++i) {
        if (i) {
            create += ", ";
            insert += ",";
        }
        create += quoteIdent(cols[i].col->name) + " " + declaredType(cols[i], file.jet3());
        insert += "?";
    }
    create += ")";
    insert += ")";
    db.exec(create);
    if (cols.empty()) return;
    sqlite3_stmt* st = db.prepare(insert);
    std::vector<Cell> row;
    try {
        for (unsigned n = 1; reader.next(row); ++n) {
            if (n % 256 == 0) out.send('H', {});  // still alive, for the parent's watchdog
            for (size_t i = 0; i < row.size(); ++i) bindCell(st, static_cast<int>(i) + 1, row[i]);
            if (sqlite3_step(st) != SQLITE_DONE)
                throw jet::Error("Die Zieldatenbank kann nicht geschrieben werden: " + db.error());
            sqlite3_reset(st);
        }
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
}

// Stored queries: name and MSysQueries rows, in catalog order.
std::vector<std::pair<std::string, QueryText>> readQueries(MdbFile& file) {
    std::vector<std::pair<std::string, QueryText>> out;
    MdbCatalogEntry* sys = file.entry("MSysQueries");
    std::vector<MdbCatalogEntry*> queries;
    for (auto* e : file.entries())
        if (e->object_type == MDB_QUERY && e->object_name[0] != '~') queries.push_back(e);  // ~sq_: forms' own
    if (!sys || queries.empty()) return out;
    TableReader reader(file, sys);
    int cAttr = reader.columnIndex("Attribute"), cExpr = reader.columnIndex("Expression"),
        cFlag = reader.columnIndex("Flag"), cName1 = reader.columnIndex("Name1"),
        cName2 = reader.columnIndex("Name2"), cId = reader.columnIndex("ObjectId");
    if (cAttr < 0 || cExpr < 0 || cFlag < 0 || cName1 < 0 || cName2 < 0 || cId < 0) throw DamagedFile("MSysQueries");
    std::vector<QueryRow> all;
    std::vector<Cell> row;
    auto text = [&](int c) -> std::optional<std::string> {
        if (row[c].kind == Cell::Null) return std::nullopt;
        return row[c].s;
    };
    while (reader.next(row)) {
        QueryRow q;
        q.attribute = row[cAttr].kind == Cell::Int ? static_cast<int>(row[cAttr].i) : -1;
        q.expression = text(cExpr);
        q.name1 = text(cName1);
        q.name2 = text(cName2);
        if (row[cFlag].kind == Cell::Int) q.flag = static_cast<int>(row[cFlag].i);
        q.objectId = static_cast<int>(row[cId].i);
        all.push_back(std::move(q));
    }
    for (auto* e : queries) {
        std::vector<QueryRow> mine;
        for (auto& q : all)
            if ((static_cast<uint32_t>(q.objectId) & 0x00ffffffu) == e->table_pg) mine.push_back(q);
        out.emplace_back(e->object_name, QueryText(std::move(mine)));
    }
    return out;
}

void importQueries(MdbFile& file, Sqlite& db, Report& report) {
    db.exec(jet::kStoredQueryTableDdl);
    struct Pending {
        std::string name, jet, sqlite, error;
    };
    std::vector<Pending> pending;
    auto keep = [&](const std::string& name, const std::string& jetText, const std::string& reason) {
        report.keptQueries.push_back({name, jetText, reason});
    };
    for (auto& [name, query] : readQueries(file)) {
        std::string jetText;
        try {
            jetText = query.sql();
        } catch (const std::exception& e) {
            keep(name, jetText, std::string("Abfrage nicht lesbar: ") + e.what());
            continue;
        }
        int type = query.type();
        if (type != kSelect && type != kUnion && type != kCrossTab) {
            keep(name, jetText, "Aktionsabfrage");
            continue;
        }
        if (query.hasParameters()) {
            keep(name, jetText, "Parameterabfrage");
            continue;
        }
        try {
            pending.push_back({name, jetText, jetsql::translate(jetText), {}});
        } catch (const std::exception& e) {
            keep(name, jetText, std::string("Nicht übersetzbar: ") + e.what());
        }
    }
    // A view may use another one: create in rounds until nothing more succeeds.
    bool progress = true;
    while (progress && !pending.empty()) {
        progress = false;
        for (auto it = pending.begin(); it != pending.end();) {
            std::string view = quoteIdent(it->name);
            char* err = nullptr;
            std::string create = "CREATE VIEW " + view + " AS " + it->sqlite;
            bool ok = sqlite3_exec(db.db(), create.c_str(), nullptr, nullptr, &err) == SQLITE_OK;
            if (ok) {
                // compiling a query on it resolves tables, columns and functions
                sqlite3_stmt* st = nullptr;
                std::string probe = "SELECT * FROM " + view;
                ok = sqlite3_prepare_v2(db.db(), probe.c_str(), -1, &st, nullptr) == SQLITE_OK;
                if (!ok) it->error = db.error();
                sqlite3_finalize(st);
                if (!ok) db.exec("DROP VIEW " + view);
            } else {
                it->error = err ? err : "?";
            }
            sqlite3_free(err);
            if (ok) {
                report.views.push_back(it->name);
                it = pending.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
    }
    for (auto& p : pending) keep(p.name, p.jet, "Sicht nicht anlegbar: " + p.error);
    sqlite3_stmt* st = db.prepare("INSERT INTO jet_stored_queries (name, sql) VALUES (?, ?)");
    for (auto& q : report.keptQueries) {
        sqlite3_bind_text(st, 1, q.name.data(), static_cast<int>(q.name.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, 2, q.sql.data(), static_cast<int>(q.sql.size()), SQLITE_STATIC);
        int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            sqlite3_finalize(st);
            throw jet::Error("Die Zieldatenbank kann nicht geschrieben werden: " + db.error());
        }
    }
    sqlite3_finalize(st);
}

Report runImport(const fs::path& source, const fs::path& temp, Writer& out) {
    Report report;
    std::optional<MdbFile> file;
    try {
        file.emplace(source);
    } catch (const DamagedFile&) {
        unreadable(source);
    }
    std::vector<MdbCatalogEntry*> tables;
    try {
        // reading the catalog table in full proves its pages are all there
        MdbCatalogEntry* objects = file->entry("MSysObjects");
        if (!objects) unreadable(source);
        TableReader catalog(*file, objects);
        std::vector<Cell> row;
        while (catalog.next(row)) {
        }
        for (auto* e : file->entries())
            if (mdb_is_user_table(e)) tables.push_back(e);

        jet::Database database = jet::Database::open(temp, true);
        Sqlite db(database.handle());
        // a fresh file that is renamed into place at the end: no journal needed
        db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
        const int total = static_cast<int>(tables.size());
        out.send('P', {"0", std::to_string(total)});
        for (int i = 0; i < total; ++i) {
            importTable(*file, tables[i], db, out);
            report.tables.push_back(tables[i]->object_name);
            out.send('P', {std::to_string(i + 1), std::to_string(total)});
        }
        importQueries(*file, db, report);
        out.send('R', {});  // done with libmdb
        db.exec("COMMIT");
        database.close();
    } catch (const DamagedFile&) {
        throw jet::Error("Die Datei \"" + shown(source) + "\" ist keine lesbare Access-Datenbank (sie ist beschädigt).");
    }
    // the data must be on disk before the name points at it
    int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return report;
}

[[noreturn]] void childMain(const fs::path& source, const fs::path& temp, int fd, pid_t parent) {
    // never outlive the caller
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(4);
    // Damaged catalogs can make libmdb allocate without end; a real import needs the file's
    // size a few times over at most.
    struct stat st {};
    if (::stat(source.c_str(), &st) == 0) {
        long pageSize = ::sysconf(_SC_PAGESIZE);
        unsigned long size = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%lu %lu %lu %lu %lu %lu", &size, &resident, &shared, &text, &lib, &data) != 6) data = 0;
            std::fclose(f);
        }
        rlim_t limit = static_cast<rlim_t>(data) * static_cast<rlim_t>(pageSize) + (rlim_t(1) << 30) + 3 * static_cast<rlim_t>(st.st_size);
        struct rlimit rl {limit, limit};
        if (data > 0) ::setrlimit(RLIMIT_DATA, &rl);
    }
    // libmdb reports problems on stderr; our caller speaks German and only once
    int devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devnull >= 0) {
        ::dup2(devnull, STDOUT_FILENO);
        ::dup2(devnull, STDERR_FILENO);
    }
    ::setenv("MDBICONV", "UTF-8", 1);
    Writer out(fd);
    try {
        Report r = runImport(source, temp, out);
        for (auto& t : r.tables) out.send('T', {t});
        for (auto& v : r.views) out.send('V', {v});
        for (auto& q : r.keptQueries) out.send('K', {q.name, q.sql, q.reason});
        out.send('D', {});
        ::_exit(0);
    } catch (const std::exception& e) {
        out.send('E', {e.what()});
    } catch (...) {
        out.send('E', {});
    }
    ::_exit(1);
}

// Seconds of silence from the reading child before it counts as stuck.
int stallSeconds() {
    if (const char* s = std::getenv("KICKORA_IMPORT_STALL_SECONDS")) {
        int v = std::atoi(s);
        if (v > 0) return v;
    }
    return 30;
}

fs::path tempNameBeside(const fs::path& target) {
    std::random_device rd;
    fs::path dir = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = dir / ("." + target.filename().string() + ".import-" + std::to_string(::getpid()) + "-" + std::to_string(rd() % 1000000));
        int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return p;
        }
        if (errno != EEXIST)
            throw jet::Error("Die Zieldatei \"" + shown(target) + "\" kann nicht angelegt werden: " + std::strerror(errno));
    }
    throw jet::Error("Die Zieldatei \"" + shown(target) + "\" kann nicht angelegt werden.");
}

void removeTemp(const fs::path& temp) {
    std::error_code ec;
    fs::remove(temp, ec);
    fs::remove(fs::path(temp.string() + "-journal"), ec);
}

// Gives temp the name target, never replacing a file that appeared meanwhile.
void placeTarget(const fs::path& temp, const fs::path& target) {
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return;
    }
    int err = errno;
    if (err == EEXIST) throw jet::Error("Die Zieldatei \"" + shown(target) + "\" existiert bereits.");
    // file systems without hard links
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) throw jet::Error("Die Zieldatei \"" + shown(target) + "\" existiert bereits.");
    if (::rename(temp.c_str(), target.c_str()) != 0)
        throw jet::Error("Die Zieldatei \"" + shown(target) + "\" kann nicht angelegt werden: " + std::strerror(errno));
}

}  // namespace

FileKind detect(const fs::path& file) {
    std::error_code ec;
    auto st = fs::status(file, ec);
    if (!fs::exists(st)) return FileKind::Missing;
    if (!fs::is_regular_file(st)) return FileKind::Other;
    unsigned char head[32] = {};
    long n = readHead(file, head, sizeof head);
    if (n >= 16 && std::memcmp(head, kSqliteMagic, 16) == 0) return FileKind::Sqlite;
    if (isJetHead(head, n)) return FileKind::Jet;
    return FileKind::Other;
}

std::string dateText(double v) {
    // 0100-01-01 00:00:00 .. 9999-12-31 23:59:59
    if (!std::isfinite(v) || v <= -657435.0 || v >= 2958466.0) return {};
    double whole;
    double frac = std::modf(v, &whole);
    int64_t day = static_cast<int64_t>(whole);
    int64_t secs = std::llround(std::fabs(frac) * 86400.0);
    if (secs >= 86400) {  // rounded up to the next midnight, but not past Jet's last second
        if (day >= 2958465) {
            secs = 86399;
        } else {
            secs -= 86400;
            day += 1;
        }
    }
    int64_t y, m, d;
    civilFromDays(day - 25569, y, m, d);
    if (y < 100 || y > 9999) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d), static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60));
    return buf;
}

std::string extendedDateText(std::string_view stored) {
    const auto* p = reinterpret_cast<const unsigned char*>(stored.data());
    if (stored.size() < 39 || p[19] != ':') return {};
    auto number = [&](size_t from, size_t count, int64_t& out) {
        out = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (p[i] < '0' || p[i] > '9') return false;
            out = out * 10 + (p[i] - '0');
        }
        return true;
    };
    int64_t days, secs, ticks;
    if (!number(0, 19, days) || !number(20, 12, secs) || !number(32, 7, ticks)) return {};
    if (days > 3652058 || secs >= 86400) return {};  // past 9999-12-31, or not a time of day
    int64_t y, m, d;
    civilFromDays(days - 719162, y, m, d);  // 0001-01-01 is day -719162 from 1970-01-01
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%07d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d), static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60), static_cast<int>(ticks));
    return buf;
}

Report importFile(const fs::path& jetFile, const fs::path& target, const std::function<void(int, int)>& progress) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)))
        throw jet::Error("Die Zieldatei \"" + shown(target) + "\" existiert bereits.");
    checkJetFile(jetFile);
    fs::path temp = tempNameBeside(target);

    // The character set converters are loaded here, before the fork: loading them in the
    // child could wait for a lock that another thread of the caller held at that moment.
    // Held open while the process runs, so that they stay loaded; closed at its end.
    struct Converters {
        iconv_t handles[2];
        Converters() : handles{iconv_open("UTF-8", "UCS-2LE"), iconv_open("UTF-8", "CP1252")} {}
        ~Converters() {
            for (iconv_t h : handles)
                if (h != reinterpret_cast<iconv_t>(-1)) iconv_close(h);
        }
    };
    static const Converters converters;

    // libmdb trusts the file's page pointers; a crafted or damaged file can crash it.
    // The reading therefore runs in a child process that writes the temporary file.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        removeTemp(temp);
        throw jet::Error(std::string("Der Import kann nicht gestartet werden: ") + std::strerror(errno));
    }
    std::fflush(nullptr);
    const pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) {
        int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        removeTemp(temp);
        throw jet::Error(std::string("Der Import kann nicht gestartet werden: ") + std::strerror(err));
    }
    if (pid == 0) {
        ::close(fds[0]);
        childMain(jetFile, temp, fds[1], parent);
    }
    ::close(fds[1]);

    Report report;
    std::string error;
    bool done = false;
    std::string buf;
    size_t pos = 0;
    char chunk[65536];
    // libmdb can also loop without end on a damaged file: while it reads, the child reports
    // at least every few hundred rows; a long silence means it is stuck.
    bool reading = true;
    bool stalled = false;
    const int stallMs = stallSeconds() * 1000;
    try {
        while (true) {
            struct pollfd pfd {fds[0], POLLIN, 0};
            int ready = ::poll(&pfd, 1, reading ? stallMs : -1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) {
                stalled = true;
                ::kill(pid, SIGKILL);
                break;
            }
            ssize_t n = ::read(fds[0], chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            buf.append(chunk, static_cast<size_t>(n));
            Message m;
            while (takeMessage(buf, pos, m)) {
                switch (m.tag) {
                case 'P':
                    if (progress && m.fields.size() == 2) progress(std::stoi(m.fields[0]), std::stoi(m.fields[1]));
                    break;
                case 'T': report.tables.push_back(m.fields.at(0)); break;
                case 'V': report.views.push_back(m.fields.at(0)); break;
                case 'K': report.keptQueries.push_back({m.fields.at(0), m.fields.at(1), m.fields.at(2)}); break;
                case 'E': error = m.fields.empty() ? std::string() : m.fields[0]; break;
                case 'D': done = true; break;
                case 'R': reading = false; break;
                default: break;
                }
            }
            buf.erase(0, pos);
            pos = 0;
        }
    } catch (...) {
        // the progress callback gave up: stop the child and leave nothing behind
        ::kill(pid, SIGKILL);
        ::close(fds[0]);
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        removeTemp(temp);
        throw;
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    bool ok = done && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        removeTemp(temp);
        if (stalled)
            throw jet::Error("Die Datei \"" + shown(jetFile) + "\" ist keine lesbare Access-Datenbank (das Lesen kommt nicht voran).");
        if (!error.empty()) throw jet::Error(error);
        throw jet::Error("Die Datei \"" + shown(jetFile) + "\" ist keine lesbare Access-Datenbank (sie ist beschädigt).");
    }
    try {
        placeTarget(temp, target);
    } catch (...) {
        removeTemp(temp);
        throw;
    }
    return report;
}

Report importBytes(std::string_view jetBytes, const fs::path& target, const std::function<void(int, int)>& progress) {
    // an anonymous in-memory file: libmdb opens it by its /proc name, the child inherits it
    int fd = ::memfd_create("jet-import", MFD_CLOEXEC);
    if (fd < 0) throw jet::Error(std::string("Der Import kann nicht gestartet werden: ") + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    for (size_t done = 0; done < jetBytes.size();) {
        ssize_t w = ::write(fd, jetBytes.data() + done, jetBytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throw jet::Error(std::string("Der Import kann nicht gestartet werden: ") + std::strerror(errno));
        done += static_cast<size_t>(w);
    }
    return importFile("/proc/self/fd/" + std::to_string(fd), target, progress);
}

}  // namespace jetimport
