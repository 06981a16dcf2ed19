#include "import/workbench.h"

#include "common/jetdb.h"
#include "common/random.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace imp {

// ---------------------------------------------------------------- database club

std::optional<ClubRow> loadClubRow(jet::Database& db, long long club)
{
    jet::Recordset rs = db.query("Select * From vereine WHERE nummer=" + std::to_string(club));
    if (rs.eof())
        return std::nullopt;
    ClubRow row;
    row.number = rs.field("NUMMER").toInt();
    row.grafikNr = rs.field("GRAFIK_NR").toInt();
    row.name = rs.field("NAME").toString();
    row.kurzname = rs.field("KURZNAME").toString();
    row.stadt = rs.field("STADT").toString();
    row.nation = rs.field("NATION").toString();
    row.stadion = rs.field("STADION_NAME").toString();
    row.sitz = rs.field("STADION_SITZPL").toString();
    row.steh = rs.field("STADION_STEHPL").toString();
    row.jerseyTypes = {static_cast<int>(rs.field("TRIKOT_ART").toInt()),
                       static_cast<int>(rs.field("AUSWEICH_TRIKOT_ART").toInt()),
                       static_cast<int>(rs.field("TW_TRIKOT_ART").toInt())};
    return row;
}

std::vector<ClubPlayer> loadClubPlayers(jet::Database& db, long long club)
{
    std::vector<ClubPlayer> players;
    jet::Recordset rs = db.query("Select nummer,art,name,vorname,stärke From spielerinvereine WHERE verein=" +
                                 std::to_string(club) + " ORDER BY art,name,vorname");
    for (; !rs.eof(); rs.moveNext())
        players.push_back({rs.field(0).toInt(), static_cast<int>(rs.field(1).toInt()), rs.field(2).toString(),
                           rs.field(3).toString(), rs.field(4).toInt()});
    return players;
}

// ---------------------------------------------------------------- boxes

ClubFields fieldsOf(const ClubRow& row)
{
    return {row.name, row.kurzname, row.stadt, row.nation, row.stadion, row.sitz, row.steh};
}

void applyBox(int box, bool ticked, const ClubRow& row, const ClubFile& file, ClubFields& f)
{
    const ClubFields db = fieldsOf(row);
    auto take = [](const std::optional<std::string>& v, std::string& field) {
        if (v)
            field = *v;
    };
    if (box == 0) {
        if (!ticked) {
            f.teamlang = db.teamlang;
            f.stadt = db.stadt;
            f.land = db.land;
        } else {
            take(file.name, f.teamlang);
            take(file.stadt, f.stadt);
            take(file.land, f.land);
        }
        f.teamkurz = db.teamkurz;
    } else if (box == 1) {
        if (!ticked) {
            f.stadion = db.stadion;
            f.sitz = db.sitz;
            f.steh = db.steh;
        } else {
            take(file.stadion, f.stadion);
            take(file.stadionsitz, f.sitz);
            take(file.stadionsteh, f.steh);
        }
    }
}

bool teamSaveEnabled(const std::array<bool, kBoxes>& boxes) { return boxes[0] || boxes[1] || boxes[2]; }

// ---------------------------------------------------------------- lists

namespace {

Row makeRow(std::string key, std::string text, int position, long long strength)
{
    // Database rows may hold any art; the lists only know 0..3.
    const int p = position >= 0 && position < kPositions ? position : kAttack;
    Row r;
    r.key = std::move(key);
    r.text = std::move(text);
    r.position = p;
    r.code = kPositionCodes[p];
    r.strength = strength;
    r.strengthText = strengthText(strength);
    r.icon = 4 - p;
    return r;
}

}  // namespace

void Workbench::load(const ClubFile* file, const std::vector<ClubPlayer>& clubPlayers)
{
    clear();
    if (file)
        for (const FilePlayer& p : file->players)
            file_.push_back(makeRow("I_" + std::to_string(p.index), p.listText(), p.position, p.strength));
    for (const ClubPlayer& p : clubPlayers)
        club_.push_back(makeRow("E_" + std::to_string(p.number), p.vorname + " " + p.name, p.art, p.strength));
}

void Workbench::clear()
{
    file_.clear();
    club_.clear();
    squad_.clear();
}

const std::vector<Row>& Workbench::rows(List list) const
{
    return list == List::File ? file_ : list == List::Club ? club_ : squad_;
}

void Workbench::ghost(List list, int row, bool on)
{
    std::vector<Row>& rows = list == List::File ? file_ : club_;
    if (row >= 0 && row < static_cast<int>(rows.size()))
        rows[static_cast<std::size_t>(row)].ghosted = on;
}

std::vector<int> Workbench::select(List list, Selection op, const std::vector<int>& current) const
{
    const std::vector<Row>& r = rows(list);
    std::set<int> chosen;
    for (int i : current)
        if (i >= 0 && i < static_cast<int>(r.size()))
            chosen.insert(i);
    for (int i = 0; i < static_cast<int>(r.size()); ++i) {
        if (r[static_cast<std::size_t>(i)].ghosted)
            continue;
        const bool was = chosen.count(i) > 0;
        const bool now = op == Selection::All ? true : op == Selection::None ? false : !was;
        if (now)
            chosen.insert(i);
        else
            chosen.erase(i);
    }
    return {chosen.begin(), chosen.end()};
}

std::vector<int> Workbench::copy(List source, const std::vector<int>& selectedRows)
{
    std::vector<int> copied;
    if (source == List::Squad)
        return copied;
    std::vector<Row>& src = source == List::File ? file_ : club_;
    const char* prefix = source == List::File ? "I_" : "E_";
    std::set<int> selected(selectedRows.begin(), selectedRows.end());
    for (int i : selected) {
        if (i < 0 || i >= static_cast<int>(src.size()) || src[static_cast<std::size_t>(i)].ghosted)
            continue;
        if (full())
            break;
        Row row = src[static_cast<std::size_t>(i)];
        row.key = prefix + std::to_string(i + 1);
        row.ghosted = false;
        row.source = source;
        row.sourceRow = i;
        // Ordered by position; a new row goes behind the rows of its position.
        const auto at = std::upper_bound(squad_.begin(), squad_.end(), row.position,
                                         [](int p, const Row& r) { return p < r.position; });
        squad_.insert(at, std::move(row));
        src[static_cast<std::size_t>(i)].ghosted = true;
        copied.push_back(i);
    }
    return copied;
}

void Workbench::remove(const std::vector<int>& squadRows)
{
    std::set<int> doomed(squadRows.begin(), squadRows.end());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        const int i = *it;
        if (i < 0 || i >= static_cast<int>(squad_.size()))
            continue;
        const Row& r = squad_[static_cast<std::size_t>(i)];
        ghost(r.source, r.sourceRow, false);
        squad_.erase(squad_.begin() + i);
    }
}

int Workbench::preset(int k, RandomSource& random)
{
    if (k < 0 || k >= kPresetItems)
        return -1;
    const int formation = k == 0 ? static_cast<int>(random.below(kRandomFormations)) : k - 1;
    // The work list: the file rows, strongest first; a stable sort keeps file order for ties.
    std::vector<int> order(file_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return file_[static_cast<std::size_t>(a)].strength > file_[static_cast<std::size_t>(b)].strength;
    });
    for (int position = 0; position < kPositions; ++position) {
        const int wanted = kFormationCounts[static_cast<std::size_t>(formation)][static_cast<std::size_t>(position)];
        int counted = 0;
        for (int i : order) {
            if (counted >= wanted)
                break;
            if (file_[static_cast<std::size_t>(i)].position != position)
                continue;
            ++counted;  // a player already in the squad counts as well
            copy(List::File, {i});
        }
    }
    return formation;
}

std::vector<int> Workbench::freePlayerRows(const std::vector<int>& selectedRows, bool all) const
{
    std::vector<int> out;
    std::set<int> selected(selectedRows.begin(), selectedRows.end());
    for (int i = 0; i < static_cast<int>(file_.size()); ++i)
        if ((all || selected.count(i)) && !file_[static_cast<std::size_t>(i)].ghosted)
            out.push_back(i);
    return out;
}

void Workbench::markFree(const std::vector<int>& fileRows)
{
    for (int i : fileRows)
        ghost(List::File, i, true);
}

int Workbench::fillFromClub()
{
    std::vector<int> all(club_.size());
    std::iota(all.begin(), all.end(), 0);
    return static_cast<int>(copy(List::Club, all).size());
}

std::vector<SquadMember> Workbench::squadMembers() const
{
    std::vector<SquadMember> members;
    for (const Row& r : squad_) {
        SquadMember m;
        m.fromFile = r.source == List::File;
        if (m.fromFile)
            m.fileIndex = r.sourceRow;
        else
            m.playerNumber = std::stoll(club_[static_cast<std::size_t>(r.sourceRow)].key.substr(2));
        members.push_back(m);
    }
    return members;
}

// ---------------------------------------------------------------- menu and keys

std::array<MenuItemState, kMenuItems> popupMenu(List list, bool rowSelected)
{
    std::array<MenuItemState, kMenuItems> m{};
    for (int i : {int(MenuSelectAll), int(MenuSelectNone), int(MenuInvert), 5, 9, int(MenuClose)})
        m[static_cast<std::size_t>(i)] = {true, true};
    const bool file = list == List::File, club = list == List::Club, squad = list == List::Squad;
    m[MenuPresets] = m[1] = {file, file};
    m[MenuCopy] = {!squad, !squad && rowSelected};
    m[MenuRemove] = {squad, squad};
    m[MenuFreePlayers] = {file || club, file};
    return m;
}

int menuItemForKey(List list, int shift, int keyCode)
{
    if (shift == 2) {
        switch (keyCode) {
        case 65: return MenuSelectAll;
        case 68: return MenuSelectNone;
        case 85: return MenuInvert;
        case 67: return list == List::Squad ? -1 : MenuCopy;
        default: return -1;
        }
    }
    if (shift == 0 && keyCode == 46 && list == List::Squad)
        return MenuRemove;
    return -1;
}

}  // namespace imp
