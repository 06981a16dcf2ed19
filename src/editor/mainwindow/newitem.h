#pragma once
// New countries and clubs: their numbers, tree keys and texts. They live only in the tree until
// the club editor saves them.
#include <string>

class Dao;

namespace newitem {

enum Kind : int { NewCountry = 0, NewClub = 1 };  // the dialog's two options

// The next free team number: greatest maxnr of maxteamnr plus 1 (1 for an empty world), and
// beyond `pendingMax`, the greatest number of new entries not saved yet, so two unsaved
// entries never share a number. Throws jet::Error.
long long nextTeamNumber(Dao& dao, long long pendingMax = 0);

// "L12_" / "T12_": the trailing "_" marks an entry that is not in the database yet.
std::string key(Kind kind, long long number);
// "Land12" / "Team12".
std::string text(Kind kind, long long number);

}  // namespace newitem
