#include "editor/tools/shirtnumbers.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "foundation/journal.h"
#include "mainwindow/clubeditor.h"


namespace shirtnumbers {

namespace {

constexpr long long kSmallIntMax = 32767;

std::string nameOf(jet::Database& db, long long club)
{
    const std::string n = std::to_string(club);
    jet::Recordset rs = db.query("SELECT name FROM vereine WHERE nummer=" + n);
    if (rs.eof())
        rs = db.query("SELECT name FROM vereine_national WHERE nummer=" + n);
    return rs.eof() ? std::string() : rs.field(0).toString();
}

}  // namespace

std::vector<Club> findClubs(jet::Database& db, ProgressSink& progress)
{
    // The grouped rows name each shared number; the clubs are their distinct first column.
    jet::Recordset rs = db.query(
        "SELECT verein, Rueckennummer From spielerinvereine GROUP BY verein, Rueckennummer "
        "HAVING verein>0 AND Count(Rueckennummer)>1 ORDER BY verein, Rueckennummer;");
    std::vector<Club> clubs;
    for (; !rs.eof(); rs.moveNext()) {
        const long long club = rs.field(0).toInt();
        if (clubs.empty() || clubs.back().number != club)
            clubs.push_back({club, {}, {}});
        clubs.back().shirts.push_back(rs.field(1).toInt());
    }
    for (std::size_t i = 0; i < clubs.size(); ++i) {
        clubs[i].name = nameOf(db, clubs[i].number);
        progress.percent(static_cast<int>((i + 1) * 100 / clubs.size()));
    }
    return clubs;
}

std::vector<Entry> playerEntries(jet::Database& db, long long club)
{
    std::vector<Entry> entries;
    jet::Value previous;
    bool first = true;
    for (jet::Recordset rs = db.query("Select rueckennummer,name,vorname,nummer From spielerinvereine WHERE verein=" +
                                      std::to_string(club) + " ORDER BY rueckennummer, nummer");
         !rs.eof(); rs.moveNext()) {
        const jet::Value& shirt = rs.field(0);
        Entry e;
        e.player = rs.field(3).toInt();
        // A player without a number shares it with nobody.
        e.marked = !first && !shirt.isNull() && !previous.isNull() && shirt.toInt() == previous.toInt();
        e.text = (e.marked ? "*" : "") + shirt.toString() + " " + rs.field(1).toString() + ", " + rs.field(2).toString();
        entries.push_back(std::move(e));
        previous = shirt;
        first = false;
    }
    return entries;
}

bool hasMarker(const std::vector<Entry>& entries)
{
    for (std::size_t i = 0; i < entries.size() && i < static_cast<std::size_t>(kCheckedEntries); ++i)
        if (entries[i].marked)
            return true;
    return false;
}

std::string shirtNumber(jet::Database& db, long long player)
{
    jet::Recordset rs = db.query("Select rueckennummer From spieler WHERE nummer=" + std::to_string(player));
    return rs.eof() ? std::string() : rs.field(0).toString();
}

std::string setShirtNumber(jet::Database& db, long long player, const std::string& typed, bool* written)
{
    if (written)
        *written = false;
    if (typed.find_first_not_of(" \t") == std::string::npos)
        return {};
    long long value = 0;
    if (!clubeditor::parseWholeNumber(typed, value) || value > kSmallIntMax)
        return "Bitte eine ganze Zahl von 1 bis " + std::to_string(kSmallIntMax) +
               " als Rückennummer eingeben. Es wurde nichts geändert.";
    if (value > 0) {
        journal::Command journaled(db, "Rückennummer ändern");
        db.execute("UPDATE Spieler SET rueckennummer=" + std::to_string(value) + " WHERE nummer=" + std::to_string(player));
        if (written)
            *written = true;
    }
    return {};
}

}  // namespace shirtnumbers
