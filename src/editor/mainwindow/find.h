#pragma once
// Finding without the windows: the tree filter of the find bar and the player search. Names
// match without regard to letter case and diacritics ("muller" finds "Müller").
#include <string>
#include <string_view>
#include <vector>

namespace jet { class Database; }

namespace find {

// The tree's nodes as the find bar filters them: countries and clubs are matched by their
// text, the root and the continents only carry what lies below them.
class TreeIndex {
public:
    // Nodes in tree order (a parent before its children); parent -1 at the top level.
    // Returns the node's index.
    int add(std::string_view key, std::string_view text, int parent);
    std::size_t size() const { return parents_.size(); }

    struct View {
        std::vector<char> visible;   // per node
        std::vector<char> expanded;  // per node: opened so that a match below it is seen
    };
    // A node is shown when its text contains the needle, when it lies below a matching
    // country, or when a shown node lies below it. An empty needle shows everything and
    // opens nothing.
    View filter(std::string_view needle) const;

private:
    std::vector<std::string> folded_;
    std::vector<int> parents_;
    std::vector<char> matchable_;
    std::vector<char> country_;
};

struct PlayerQuery {
    std::string text;      // part of the name or first name; empty for any
    std::string nation;    // exact nation (as the database compares names); empty for any
    int position = -1;     // ART 0..3; -1 for any
    int strengthMin = 0, strengthMax = 12000;
    int maxStrengthMin = 0, maxStrengthMax = 12000;
};

struct PlayerHit {
    long long number = 0;
    std::string name, vorname, nation;
    long long art = 0, staerke = 0, maxStaerke = 0;
    long long team = -1;    // the club whose list shows the player, else his national team; -1: none
    bool national = false;  // team is a national team
    std::string teamName;
    // Key of the tree node whose list shows the player ("T12", "L3", "T0"); empty for none.
    std::string key() const;
};

// Players matching every part of the query, by name, first name and number. The text is
// compared folded; nothing the user typed reaches the SQL unquoted. Throws jet::Error.
std::vector<PlayerHit> searchPlayers(jet::Database& db, const PlayerQuery& query);

// The tree key of the list that shows a player: his club (the transfer market included),
// else his national team; empty when he is in neither. Throws jet::Error.
std::string playerKey(jet::Database& db, long long player);

// "MIN-MAX" of whole numbers within 0..limit; false when it is not such a range.
bool parseRange(std::string_view text, int limit, int& lo, int& hi);

}  // namespace find
