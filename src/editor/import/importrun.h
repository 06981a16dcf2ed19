#pragma once
// The imports without a window, as kickoratool runs them: one club file over a database club
// (what the workbench does with all four boxes ticked, a preset and both save buttons), all
// players of a club file as free players, and a whole league or country file at once.
#include "importerror.h"
#include "indexwalk.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class RandomSource;
struct ProgressSink;
namespace jet { class Database; }

namespace imp {

// The club pick list of the target dialogs ("club name (nation)" with the club number), as the
// tree loader builds it.
struct ClubChoices {
    std::vector<std::string> texts;
    std::vector<long long> numbers;
};
ClubChoices clubChoices(jet::Database& db);

struct ClubImport {
    long long club = 0;
    std::string name;          // the club's name after the save
    int formation = 0;         // formation used (0..9)
    int fromFile = 0;          // squad rows taken from the file
    int fromClub = 0;          // squad rows filled with the club's own players
    std::vector<long long> slots;       // player numbers written, in squad order
    std::vector<std::string> warnings;  // the file's corrections (ClubFile::warnings)
};

// Replaces club `club` with the file: club data, stadium and jersey colours from the file
// (nation = landneu of the file's country, never a list's first entry), the jersey types as
// stored, then a squad of 20 built by preset k (menu index 0..10) and filled up with the
// club's own players in list order. Runs inside one transaction (nested in the caller's when
// there is one). Throws Error (German) or jet::Error; the database is then unchanged.
ClubImport importClub(jet::Database& db, const std::filesystem::path& aetFile, long long club, int presetItem,
                      RandomSource& random, int satz = 0);

// Every player of the file as a free player; returns the count. One transaction.
int importFree(jet::Database& db, const std::filesystem::path& aetFile, RandomSource& random, ProgressSink& progress);

// One line of import-index: the club file, the proposed club (nullopt: none), and with apply
// the result of its import.
struct IndexImport {
    IndexClubFile file;
    std::optional<long long> club;
    std::optional<ClubImport> result;
};
struct IndexRun {
    IndexWalk walk;
    std::vector<IndexImport> lines;
};
// Walks the index file and proposes a club for each club file (candidate rule over
// clubChoices). With apply, replaces each proposed club as importClub does, all in one
// transaction: any failure leaves the database unchanged and throws.
IndexRun importIndex(jet::Database& db, const std::filesystem::path& indexFile, bool apply, int presetItem,
                     RandomSource& random, ProgressSink& progress, int satz = 0);

}  // namespace imp
