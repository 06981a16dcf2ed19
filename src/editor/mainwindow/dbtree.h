#pragma once
// The world tree of the main window without the window: which nodes exist, with which keys,
// texts, parents and pictures, and the pick lists filled on the way. Also where a missing
// transfer market is created.
#include <string>
#include <string_view>
#include <vector>

class Dao;
struct ProgressSink;

namespace dbtree {

// Pictures of the tree's image list.
enum Image : int { ImageContinent = 4, ImageCountry = 5, ImageClub = 6 };

inline constexpr const char* kRootKey = "L-1";
inline constexpr const char* kTransferMarketKey = "T0";
inline constexpr int kTransferMarketPlayers = 1700;

struct Node {
    std::string key;
    std::string text;
    std::string parent;  // key of the parent node, empty at the top level
    int image = 0;
    std::string nation;  // country nodes: the country's NATION value
};

struct ClubEntry {
    std::string text;    // club name + " (" + country NATION + ")"
    long long number = 0;
};

struct Lists {
    std::vector<std::string> countries;  // each NAME, then its NATION when that differs
    std::vector<ClubEntry> clubs;
};

struct Tree {
    std::vector<Node> nodes;  // in the order they are added; parents come before children
    Lists lists;
    bool transferMarketCreated = false;
    std::vector<std::string> errors;  // steps that failed and were skipped
};

// Builds the tree and the pick lists from the database. Every step that fails is skipped;
// with a closed database the tree holds the root and the twelve continents. A missing
// transfer-market club is created with its 1700 generated players, all in one transaction.
Tree load_dbteam(Dao& dao, ProgressSink& progress);

// What a node key stands for.
enum class KeyKind { None, NewCountry, NewClub, Club, Country, TransferMarket };
struct KeyInfo {
    KeyKind kind = KeyKind::None;
    long long number = 0;
};
KeyInfo classifyKey(std::string_view key);

// The runtime's leading-number conversion: leading blanks, a sign and digits; 0 when the text
// does not start with a number.
long long leadingNumber(std::string_view text);

}  // namespace dbtree
