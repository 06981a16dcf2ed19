#include "cfgexport.h"

#include "common/jetdb.h"
#include "common/profile.h"
#include "common/progress.h"
#include "cfgsql.h"

#include <charconv>
#include <unordered_map>
#include <vector>

namespace fs = std::filesystem;

namespace cfg {

namespace {

long long maxOf(jet::Database& db, const char* sql)
{
    jet::Recordset rs = db.query(sql);
    if (rs.eof() || rs.field(0).isNull())
        return 0;
    return rs.field(0).toInt();
}

// Reports a percentage only when it changes: the sink may repaint on every call.
class Percent {
public:
    explicit Percent(ProgressSink& sink) : sink_(sink) {}
    void set(long done, long total)
    {
        int p = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (p != last_) {
            last_ = p;
            sink_.percent(p);
        }
    }

private:
    ProgressSink& sink_;
    int last_ = -1;
};

// Clears the status text on every way out.
class StatusGuard {
public:
    explicit StatusGuard(ProgressSink& sink) : sink_(sink) {}
    ~StatusGuard() { sink_.status(""); }

private:
    ProgressSink& sink_;
};

// A column as the writer puts it into the file, with its line starts ready in file bytes.
struct Column {
    std::string key;      // upper case
    ColumnKind kind;
    bool bare = false;    // text without quotes
    std::string prefix;   // indent, key and filler
    std::string alone;    // indent, key and line end
};

std::vector<Column> columnsOf(jet::Database& db, std::string_view table, const Layout& layout,
                              std::initializer_list<std::string_view> bareKeys, int listColumn)
{
    std::vector<Column> cols;
    int i = 0;
    for (const auto& c : db.columns(table)) {
        Column col;
        col.key = upperName(c.name);
        col.kind = kindOfDeclaredType(c.declaredType);
        for (std::string_view b : bareKeys)
            col.bare = col.bare || col.key == b;
        if (i++ != listColumn) {
            col.prefix = toFileBytes(keyLinePrefix(layout, col.key));
            col.alone = toFileBytes(std::string(layout.indent) + col.key + std::string(kEol));
        }
        cols.push_back(std::move(col));
    }
    if (cols.empty())
        throw Error("Die Tabelle " + std::string(table) + " fehlt in der Datenbank.");
    return cols;
}

void appendInt(std::string& out, std::int64_t v)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// One value in its form. Null is the key alone, so the line stays and reads back as Null.
void appendValue(std::string& out, const Column& col, const Statement& row, int i)
{
    const Statement::Type type = row.type(i);
    if (type == Statement::Type::Null || col.kind == ColumnKind::YesNo) {
        out += col.alone;
        return;
    }
    out += col.prefix;
    const bool quotes = col.kind == ColumnKind::Text && !col.bare;
    if (quotes)
        out += '"';
    if (type == Statement::Type::Int)
        appendInt(out, row.intValue(i));
    else if (type == Statement::Type::Real)
        out += jet::Value(row.realValue(i)).toString();
    else {
        const std::string_view text = row.textValue(i);
        checkOneLine(text);
        appendFileBytes(out, text);
    }
    if (quotes)
        out += '"';
    out += kEol;
}

long long rowCount(jet::Database& db, std::string_view table)
{
    Statement count(db, "SELECT count(*) FROM " + sqlIdentifier(table));
    return count.step() ? count.intValue(0) : 0;
}

// The player lists of all clubs at once, in the order the database delivers the rows.
std::unordered_map<std::int64_t, std::string> allPlayerLists(jet::Database& db)
{
    std::unordered_map<std::int64_t, std::string> lists;
    Statement rows(db, "SELECT verein, spieler FROM vereinspieler");
    while (rows.step()) {
        if (rows.type(0) == Statement::Type::Null || rows.type(1) == Statement::Type::Null)
            continue;
        std::string& list = lists[rows.intValue(0)];
        if (!list.empty())
            list += ',';
        appendInt(list, rows.intValue(1));
    }
    return lists;
}

void appendPlayerList(std::string& out, const std::string* list)
{
    if (!list || list->empty())
        appendKeyAlone(out, kClubLayout, "SPIELER");
    else
        appendKeyLine(out, kClubLayout, "SPIELER", inQuotes(*list));
}

constexpr int kListColumn = 6;  // SPIELER of the club tables: the player list stands there

void appendClubTable(std::string& out, jet::Database& db, std::string_view table,
                     const std::unordered_map<std::int64_t, std::string>& lists, ProgressSink& progress)
{
    const std::vector<Column> cols = columnsOf(db, table, kClubLayout, {"KLIMA"}, kListColumn);
    const long long total = rowCount(db, table);
    Statement rows(db, "SELECT * FROM " + sqlIdentifier(table));
    Percent percent(progress);
    long long row = 0;
    while (rows.step()) {
        out += kClubLayout.recordKeyword;
        out += kEol;
        for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
            if (i == kListColumn) {
                auto it = lists.find(rows.intValue(0));
                appendPlayerList(out, it == lists.end() ? nullptr : &it->second);
                continue;
            }
            appendValue(out, cols[static_cast<std::size_t>(i)], rows, i);
        }
        percent.set(static_cast<long>(++row), static_cast<long>(total));
        if (row < total)
            out += kEol;
    }
}

}  // namespace

bool configFileChosen(const fs::path& file)
{
    return !file.empty() && file.filename() != kConfigFileName;
}

std::string clubHeader(jet::Database& db, const DateTime& now)
{
    return clubHeaderBlock(now, maxOf(db, "Select max(maxnr) From maxteamnr"));
}

std::string playerHeader(jet::Database& db, const DateTime& now)
{
    return playerHeaderBlock(now, maxOf(db, "Select max(nummer) From spieler"));
}

std::string playerListLine(jet::Database& db, long long club)
{
    std::string list;
    jet::Recordset rs = db.query("Select * From vereinspieler WHERE verein=" + std::to_string(club));
    for (; !rs.eof(); rs.moveNext()) {
        if (rs.field(1).isNull())
            continue;
        if (!list.empty())
            list += ',';
        list += rs.field(1).toString();
    }
    std::string out;
    appendPlayerList(out, &list);
    return out;
}

std::string clubFileBytes(jet::Database& db, const DateTime& now, ProgressSink& progress)
{
    StatusGuard guard(progress);
    progress.status("Exportiere Vereine...");
    const auto lists = allPlayerLists(db);
    std::string out = toFileBytes(clubHeader(db, now));
    out += kEol;
    progress.percent(0);
    out += kEol;
    appendClubTable(out, db, "vereine", lists, progress);
    progress.status("Exportiere Nationalteams...");
    progress.percent(0);
    out += kEol;
    appendClubTable(out, db, "vereine_national", lists, progress);
    return out;
}

std::string playerFileBytes(jet::Database& db, const DateTime& now, ProgressSink& progress)
{
    StatusGuard guard(progress);
    progress.status("Exportiere Spieler...");
    const std::vector<Column> cols = columnsOf(db, "spieler", kPlayerLayout, {"ERLERNT", "GESPERRT"}, -1);
    const long long total = rowCount(db, "spieler");
    std::string out;
    out.reserve(static_cast<std::size_t>(total) * 540 + 512);
    out += toFileBytes(playerHeader(db, now));
    out += kEol;
    progress.percent(0);
    out += kEol;
    Statement rows(db, "SELECT * FROM spieler");
    Percent percent(progress);
    long long row = 0;
    while (rows.step()) {
        out += kPlayerLayout.recordKeyword;
        out += kEol;
        for (int i = 0; i < static_cast<int>(cols.size()); ++i)
            appendValue(out, cols[static_cast<std::size_t>(i)], rows, i);
        percent.set(static_cast<long>(++row), static_cast<long>(total));
        if (row < total)
            out += kEol;
    }
    return out;
}

void writeClubFile(jet::Database& db, const fs::path& file, const Clock& clock, ProgressSink& progress)
{
    writeFileAtomically(file, clubFileBytes(db, clock(), progress));
}

void writePlayerFile(jet::Database& db, const fs::path& file, const Clock& clock, ProgressSink& progress)
{
    writeFileAtomically(file, playerFileBytes(db, clock(), progress));
}

void exportConfig(jet::Database& db, const fs::path& file, ConfigFile which, const Clock& clock,
                  ProgressSink& progress)
{
    StatusGuard guard(progress);
    if (which == ConfigFile::Clubs)
        writeClubFile(db, file, clock, progress);
    else
        writePlayerFile(db, file, clock, progress);
}

// ---------------------------------------------------------------- team file

std::optional<long long> teamFileClubNumber(std::string_view key)
{
    if (key.size() < 2)
        return std::nullopt;
    std::string_view digits = key.substr(1);
    long long n = 0;
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || p != digits.data() + digits.size() || n < 0)
        return std::nullopt;
    return n;
}

namespace {

// A value as the team file holds it: numbers in the German form, Null and yes/no empty.
std::string teamValue(const jet::Value& v, ColumnKind kind)
{
    if (v.isNull() || kind == ColumnKind::YesNo)
        return {};
    std::string s = v.toString();
    if (v.isReal())
        for (char& c : s)
            if (c == '.')
                c = ',';
    return s;
}

void setTeamKey(profile::Document& doc, const std::string& section, const std::string& key,
                const std::string& value)
{
    if (!doc.setString(section, key, value))
        throw Error("Der Wert von " + key + " in [" + section + "] kann nicht in die Teamdatei geschrieben werden.");
}

// STÄRKE and MAX_STÄRKE are STAERKE and MAX_STAERKE in team files, as the exporter writes them.
std::string teamPlayerKey(const std::string& name)
{
    const std::string up = upperName(name);
    if (up != "STÄRKE" && up != "MAX_STÄRKE")
        return name;
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "ä") == 0) {
            out += "ae";
            ++i;
        } else if (name.compare(i, 2, "Ä") == 0) {
            out += "AE";
            ++i;
        } else {
            out += name[i];
        }
    }
    return out;
}

}  // namespace

void writeTeamFile(jet::Database& db, const fs::path& file, long long club, const Clock& clock,
                   ProgressSink& progress)
{
    StatusGuard guard(progress);
    std::string header = exportDateLine(clock());
    header += kEol;
    header += teamProgramLine();
    header += kEol;
    header += kEol;
    profile::Document doc = profile::Document::fromBytes(toFileBytes(header));

    for (const char* table : {"vereine", "vereine_national"}) {
        progress.status("Speichere Verein...");
        std::vector<ColumnKind> kinds;
        for (const auto& c : db.columns(table))
            kinds.push_back(kindOfDeclaredType(c.declaredType));
        jet::Recordset rs = db.query("Select * From " + std::string(table) + " WHERE NUMMER=" + std::to_string(club));
        if (rs.eof())
            continue;
        for (int i = 0; i < rs.fieldCount(); ++i)
            setTeamKey(doc, "Team", rs.fieldName(i),
                       teamValue(rs.field(i), i < static_cast<int>(kinds.size()) ? kinds[static_cast<std::size_t>(i)]
                                                                                 : ColumnKind::Text));
    }

    std::string list;
    {
        jet::Recordset rs = db.query("Select * From vereinspieler WHERE verein=" + std::to_string(club));
        for (; !rs.eof(); rs.moveNext()) {
            if (rs.field(1).isNull())
                continue;
            if (!list.empty())
                list += ',';
            list += std::to_string(rs.field(1).toInt());
        }
    }
    if (!list.empty()) {
        std::vector<ColumnKind> kinds;
        for (const auto& c : db.columns("spieler"))
            kinds.push_back(kindOfDeclaredType(c.declaredType));
        jet::Recordset rs = db.query("SELECT * FROM spieler WHERE Nummer In (" + list + ");");
        std::vector<std::string> keys;
        for (int i = 0; i < rs.fieldCount(); ++i)
            keys.push_back(teamPlayerKey(rs.fieldName(i)));
        const long total = rs.recordCount();
        Percent percent(progress);
        progress.percent(0);
        long n = 0;
        for (; !rs.eof(); rs.moveNext()) {
            const std::string section = "Spieler" + std::to_string(++n);
            for (int i = 0; i < rs.fieldCount(); ++i)
                setTeamKey(doc, section, keys[static_cast<std::size_t>(i)],
                           teamValue(rs.field(i), i < static_cast<int>(kinds.size())
                                                      ? kinds[static_cast<std::size_t>(i)]
                                                      : ColumnKind::Text));
            percent.set(n, total);
        }
    }
    if (!doc.save(file))
        throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
    progress.percent(100);
}

}  // namespace cfg
