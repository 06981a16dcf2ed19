#pragma once
// Generated content: placeholder clubs for every country of e_landkontinent (tools menu
// "template erstellen") and the competition file with one national league per country
// (tools menu "templiga").
#include <filesystem>
#include <string>

namespace jet { class Database; }
struct ProgressSink;

namespace cfg {

// The template club name of club t of a country: the competition identifier and t with at
// least three digits ("ABC" and 1 give "ABC001").
std::string templateClubName(const std::string& identifier, int t);

// For every country with teams > 0 (by id): makes sure it has a national team (landneu), then
// adds `teams` clubs named by templateClubName with 20 placeholder players each. One
// transaction: a failure leaves the database as it was. Status text: the club's name; cleared
// at the end. Returns the number of clubs created. Throws jet::Error.
int createTemplateClubs(jet::Database& db, ProgressSink& progress);

// Where the competition file goes: the program folder + 1_we.cfg.
std::filesystem::path competitionFilePath(const std::filesystem::path& programDir);

// The competition file as UTF-8 text: one league record per country with teams > 0, then the
// five summary lines UI, UQ, U, CQ, C. Throws Error when a country has no national team.
std::string competitionFileText(jet::Database& db, ProgressSink& progress);
// Writes it (Windows-1252, through a temporary file).
void writeCompetitionFile(jet::Database& db, const std::filesystem::path& file, ProgressSink& progress);

}  // namespace cfg
