#pragma once
#include <string>
#include <vector>

namespace tool {

using Args = std::vector<std::string>;

constexpr int kOk = 0;
constexpr int kError = 1;  // one German line on standard error
constexpr int kUsage = 2;

// Splits "--name value" options out of args; returns false on an unknown or incomplete option.
bool takeOption(Args& args, const std::string& name, std::string& value);
// False, with the German line that the file does not exist, when an input file is missing.
bool inputExists(const std::string& file);

int cmdDemo(const Args&);
int cmdImportMdb(const Args&);
int cmdSql(const Args&);
int cmdIniGet(const Args&);
int cmdIniSet(const Args&);
int cmdIniSections(const Args&);
int cmdIniSection(const Args&);
int cmdExportConfig(const Args&);
int cmdImportConfig(const Args&);
int cmdExportTea(const Args&);
int cmdClubTemplates(const Args&);
int cmdCompetitionTemplate(const Args&);
int cmdResList(const Args&);
int cmdResExtract(const Args&);
int cmdGfp2Tga(const Args&);
int cmdTga2Gfp(const Args&);
int cmdCrestsImport(const Args&);
int cmdCrestsExport(const Args&);
int cmdDemoZentor(const Args&);
int cmdZexport(const Args&);
int cmdCheckShirts(const Args&);
int cmdCheckNames(const Args&);
int cmdRenamePictures(const Args&);
int cmdMarketFill(const Args&);
int cmdMarketSwap(const Args&);
int cmdImportClub(const Args&);
int cmdImportFree(const Args&);
int cmdImportTea(const Args&);
int cmdImportIndex(const Args&);
int cmdFind(const Args&);
int cmdCheck(const Args&);
int cmdJournal(const Args&);
int cmdUndo(const Args&);
int cmdRedo(const Args&);

}  // namespace tool
