#pragma once
// Country lookup: the national team for a country name, created with fixed defaults when the
// database has none of exactly that name. Used by the template clubs, the transfer market and
// the saving of imported clubs and players.
#include <string>
#include <string_view>

namespace jet { class Database; }

namespace cfg {

// Returns the national-team name to store as NATION. Candidates are looked up by suffix,
// prefix and the "ss"/"ß" spellings, but only a NAME equal to the country (case-sensitive)
// counts as found; otherwise a national team named `country` is inserted into
// vereine_national (continent from e_landkontinent, "Atlantis" when it has no row; number =
// greatest maxnr + 1) and `country` is returned. Throws jet::Error.
std::string landneu(jet::Database& db, std::string_view country);

}  // namespace cfg
