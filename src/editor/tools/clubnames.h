#pragma once
// The club-name check without the window: clubs whose name is longer than the game shows,
// the proposals for a shorter name, and the save.
#include <string>
#include <string_view>
#include <vector>

struct ProgressSink;
namespace jet { class Database; }

namespace clubnames {

inline constexpr const char* kTitle = "Teamname";
inline constexpr int kNameLimit = 15;

// Proposal rules: the full name, without its first word, without its last word.
enum Rule : int { RuleFull = 0, RuleWithoutFirst = 1, RuleWithoutLast = 2 };
inline constexpr int kRules = 3;

struct Club {
    long long number = 0;
    std::string name;
};

// Clubs (national teams are not looked at) whose name is longer than kNameLimit characters,
// by name. One percent step per club. Throws jet::Error.
std::vector<Club> longNames(jet::Database& db, ProgressSink& progress);

// The proposal of a rule. Words are separated by single blanks; names of fewer than three
// words are proposed unchanged by every rule.
std::string proposal(std::string_view name, int rule);

// Characters (not bytes) of a UTF-8 name.
int length(std::string_view name);

// Writes a club's new name. Throws jet::Error.
void rename(jet::Database& db, long long club, std::string_view name);

}  // namespace clubnames
