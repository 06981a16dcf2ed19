#include "cfgexport.h"

#include "common/jetdb.h"
#include "common/profile.h"
#include "common/progress.h"

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

struct Column {
    std::string key;  // upper case
    ColumnKind kind;
};

std::vector<Column> columnsOf(jet::Database& db, std::string_view table)
{
    std::vector<Column> cols;
    for (const auto& c : db.columns(table))
        cols.push_back({upperName(c.name), kindOfDeclaredType(c.declaredType)});
    if (cols.empty())
        throw Error("Die Tabelle " + std::string(table) + " fehlt in der Datenbank.");
    return cols;
}

// The player lists of all clubs at once, in the order the database delivers the rows.
std::unordered_map<long long, std::string> allPlayerLists(jet::Database& db)
{
    std::unordered_map<long long, std::string> lists;
    jet::Recordset rs = db.query("SELECT verein, spieler FROM vereinspieler");
    for (; !rs.eof(); rs.moveNext()) {
        const jet::Value& club = rs.field(0);
        const jet::Value& player = rs.field(1);
        if (club.isNull() || player.isNull())
            continue;
        std::string& list = lists[club.toInt()];
        if (!list.empty())
            list += ',';
        list += player.toString();
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

// One value in its form; Null is the key alone so that the line stays and reads back.
void appendValue(std::string& out, const Layout& layout, const Column& col, const jet::Value& v, bool bareText)
{
    if (v.isNull() || col.kind == ColumnKind::YesNo) {
        appendKeyAlone(out, layout, col.key);
        return;
    }
    if (col.kind == ColumnKind::Number)
        appendKeyLine(out, layout, col.key, v.toString());
    else
        appendKeyLine(out, layout, col.key, bareText ? bare(v.toString()) : inQuotes(v.toString()));
}

void appendClubTable(std::string& out, jet::Database& db, std::string_view table,
                     const std::unordered_map<long long, std::string>& lists, ProgressSink& progress)
{
    const std::vector<Column> cols = columnsOf(db, table);
    jet::Recordset rs = db.query("Select * From " + std::string(table));
    const long total = rs.recordCount();
    Percent percent(progress);
    long row = 0;
    for (; !rs.eof(); rs.moveNext()) {
        out += kClubLayout.recordKeyword;
        out += kEol;
        for (int i = 0; i < static_cast<int>(cols.size()) && i < rs.fieldCount(); ++i) {
            const Column& col = cols[static_cast<std::size_t>(i)];
            if (i == 6) {
                // The player list stands in place of the column, whatever the column holds.
                auto it = lists.find(rs.field(0).toInt());
                appendPlayerList(out, it == lists.end() ? nullptr : &it->second);
                continue;
            }
            appendValue(out, kClubLayout, col, rs.field(i), col.key == "KLIMA");
        }
        percent.set(++row, total);
        if (row < total)
            out += kEol;
    }
}

}  // namespace

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

std::string clubFileText(jet::Database& db, const DateTime& now, ProgressSink& progress)
{
    StatusGuard guard(progress);
    const auto lists = allPlayerLists(db);
    std::string out;
    progress.status("Exportiere Vereine...");
    out += clubHeader(db, now);
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

std::string playerFileText(jet::Database& db, const DateTime& now, ProgressSink& progress)
{
    StatusGuard guard(progress);
    progress.status("Exportiere Spieler...");
    const std::vector<Column> cols = columnsOf(db, "spieler");
    std::vector<bool> bareText;
    for (const Column& c : cols)
        bareText.push_back(c.key == "ERLERNT" || c.key == "GESPERRT");
    jet::Recordset rs = db.query("Select * From spieler");
    std::string out;
    out.reserve(static_cast<std::size_t>(rs.recordCount()) * 420 + 512);
    out += playerHeader(db, now);
    out += kEol;
    progress.percent(0);
    out += kEol;
    const long total = rs.recordCount();
    Percent percent(progress);
    long row = 0;
    for (; !rs.eof(); rs.moveNext()) {
        out += kPlayerLayout.recordKeyword;
        out += kEol;
        for (int i = 0; i < static_cast<int>(cols.size()) && i < rs.fieldCount(); ++i)
            appendValue(out, kPlayerLayout, cols[static_cast<std::size_t>(i)], rs.field(i),
                        bareText[static_cast<std::size_t>(i)]);
        percent.set(++row, total);
        if (row < total)
            out += kEol;
    }
    return out;
}

void writeClubFile(jet::Database& db, const fs::path& file, const Clock& clock, ProgressSink& progress)
{
    writeFileAtomically(file, toFileBytes(clubFileText(db, clock(), progress)));
}

void writePlayerFile(jet::Database& db, const fs::path& file, const Clock& clock, ProgressSink& progress)
{
    writeFileAtomically(file, toFileBytes(playerFileText(db, clock(), progress)));
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
