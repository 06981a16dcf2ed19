// The undo journal: listing, taking back and redoing the editor's commands.
#include "common/jetdb.h"
#include "common/jetimport.h"
#include "foundation/journal.h"
#include "tool.h"

#include <iostream>

namespace tool {

namespace {

int openThen(const Args& args, int (*run)(jet::Database&))
{
    if (args.size() != 1)
        return kUsage;
    if (jetimport::detect(args[0]) != jetimport::FileKind::Sqlite) {
        std::cerr << "Die Datei " << args[0] << " ist keine Datenbank des Editors.\n";
        return kError;
    }
    jet::Database db = jet::Database::open(args[0]);
    return run(db);
}

int replay(jet::Database& db, bool back)
{
    const auto done = back ? journal::undo(db) : journal::redo(db);
    if (!done) {
        std::cerr << (back ? "Es gibt nichts rückgängig zu machen.\n" : "Es gibt nichts wiederherzustellen.\n");
        return kError;
    }
    std::cout << done->entry << '\t' << done->what << '\n';
    return kOk;
}

}  // namespace

int cmdJournal(const Args& args)
{
    return openThen(args, [](jet::Database& db) {
        for (const journal::Entry& e : journal::entries(db))
            std::cout << e.entry << '\t' << e.what << '\t' << e.time << '\n';
        return kOk;
    });
}

int cmdUndo(const Args& args)
{
    return openThen(args, [](jet::Database& db) { return replay(db, true); });
}

int cmdRedo(const Args& args)
{
    return openThen(args, [](jet::Database& db) { return replay(db, false); });
}

}  // namespace tool
