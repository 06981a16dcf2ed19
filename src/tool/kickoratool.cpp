// kickoratool: the programs' file and database operations without a window.
#include "tool.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const tool::Args&);
};

const Command kCommands[] = {
    {"demo", "demo DIR [--scale N] [--seed S]", tool::cmdDemo},
    {"import-mdb", "import-mdb JETFILE DBFILE", tool::cmdImportMdb},
    {"sql", "sql DBFILE STATEMENT", tool::cmdSql},
    {"ini-get", "ini-get FILE SECTION KEY [DEFAULT]", tool::cmdIniGet},
    {"ini-set", "ini-set FILE SECTION KEY VALUE", tool::cmdIniSet},
    {"ini-sections", "ini-sections FILE", tool::cmdIniSections},
    {"ini-section", "ini-section FILE SECTION", tool::cmdIniSection},
    {"export-config", "export-config DB CLUBFILE PLAYERFILE", tool::cmdExportConfig},
    {"import-config", "import-config DB (--clubs|--players) FILE", tool::cmdImportConfig},
    {"export-tea", "export-tea DB CLUBNUMBER FILE", tool::cmdExportTea},
    {"club-templates", "club-templates DB", tool::cmdClubTemplates},
    {"competition-template", "competition-template DB FILE", tool::cmdCompetitionTemplate},
    {"res-list", "res-list ARCHIVE", tool::cmdResList},
    {"res-extract", "res-extract ARCHIVE DIR", tool::cmdResExtract},
    {"gfp2tga", "gfp2tga GFP TGA", tool::cmdGfp2Tga},
    {"tga2gfp", "tga2gfp TGA GFP [--compress]", tool::cmdTga2Gfp},
    {"crests-import", "crests-import PROGRAMDIR ARCHIVE", tool::cmdCrestsImport},
    {"crests-export", "crests-export PROGRAMDIR ARCHIVE", tool::cmdCrestsExport},
    {"demo-zentor", "demo-zentor FILE [--scale N] [--seed S]", tool::cmdDemoZentor},
    {"zexport",
     "zexport SOURCE (--club TEAM | --national COUNTRY | --league COUNTRY LEAGUE | --country COUNTRY) FILE [--seed S]\n"
     "  kickoratool zexport SOURCE --all DIR [--seed S]",
     tool::cmdZexport},
    {"check-shirts", "check-shirts DB", tool::cmdCheckShirts},
    {"check-names", "check-names DB [--rule 0|1|2]", tool::cmdCheckNames},
    {"rename-pictures", "rename-pictures DB DIR [--dry-run]", tool::cmdRenamePictures},
    {"market-fill", "market-fill DB [--seed S]", tool::cmdMarketFill},
    {"market-swap", "market-swap DB (--free ID --player N | --player A --with B) [--seed S]", tool::cmdMarketSwap},
    {"import-club",
     "import-club DB AETFILE --replace N [--preset K] [--seed S]\n"
     "      Vereinsdatei über Verein N, Aufstellung K (0 Zufallssystem, 1..10, Vorgabe 1);\n"
     "      gibt Verein, Aufstellung und je Spielerplatz Nummer, Position, Name, Stärke aus",
     tool::cmdImportClub},
    {"import-free", "import-free DB AETFILE\n      alle Spieler der Datei in die Freien Spieler",
     tool::cmdImportFree},
    {"import-tea", "import-tea DB TEAFILE (--new-in COUNTRY | --replace N)\n      gibt die Vereinsnummer aus",
     tool::cmdImportTea},
    {"import-index",
     "import-index DB LIGFILE|LANFILE [--preset K] [--seed S] [--apply]\n"
     "      je gefundene Vereinsdatei eine Zeile: Pfad relativ zur Indexdatei, Tab, vorgeschlagener\n"
     "      Verein (\"-\" für keinen); mit --apply wird jeder vorgeschlagene Verein wie bei import-club\n"
     "      ersetzt (alles in einer Transaktion) und zuletzt \"N Vereine ersetzt\" ausgegeben",
     tool::cmdImportIndex},
    {"find",
     "find DB TEXT [--nation N] [--position 0-3] [--strength MIN-MAX]\n"
     "      Spieler, deren Name oder Vorname TEXT enthält (ohne Rücksicht auf Groß- und Kleinschreibung und\n"
     "      Akzente; Stärke 0 bis 12000, 1000 je halber Stern): Nummer, Name, Vorname, Vereinsnummer, Verein",
     tool::cmdFind},
    {"check",
     "check DB\n"
     "      je Befund eine Zeile: Art, Vereins- oder Spielernummer, Text; Ende mit 1, wenn etwas gefunden wurde",
     tool::cmdCheck},
    {"journal", "journal DB\n      die Befehle, die sich zurücknehmen lassen, neueste zuerst: Eintrag, Tab, Befehl, Tab, Zeit",
     tool::cmdJournal},
    {"undo", "undo DB\n      nimmt den neuesten Befehl zurück; gibt Eintrag und Befehl aus", tool::cmdUndo},
    {"redo", "redo DB\n      stellt den zuletzt zurückgenommenen Befehl wieder her", tool::cmdRedo},
};

void printHelp(std::ostream& out) {
    out << "Aufruf: kickoratool BEFEHL ...\n\nBefehle:\n";
    for (const auto& c : kCommands) out << "  kickoratool " << c.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printHelp(std::cerr);
        return tool::kUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(std::cout);
        return tool::kOk;
    }
    for (const auto& c : kCommands) {
        if (name != c.name) continue;
        tool::Args args(argv + 2, argv + argc);
        try {
            int rc = c.run(args);
            if (rc == tool::kUsage) std::cerr << "Aufruf: kickoratool " << c.usage << "\n";
            return rc;
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            return tool::kError;
        }
    }
    std::cerr << "Unbekannter Befehl: " << name << "\n";
    printHelp(std::cerr);
    return tool::kUsage;
}
