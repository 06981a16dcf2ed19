#pragma once
// The About box: program title, version, description and notice, the program folder, and a
// button that starts the system's own information program.
#include <QDialog>
#include <QStringList>
#include <filesystem>

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    // programDir: the folder the editor works in, named on a line of its own (an installed
    // editor works in the user's data folder, which users would not find otherwise).
    explicit FrmAbout(const std::filesystem::path& programDir, QWidget* parent = nullptr);

    // System information programs, tried in this order.
    static const QStringList& systemInfoPrograms();
    // Folders searched for them; empty means the PATH. Tests point this at their own folder.
    static void setSystemInfoSearchPaths(const QStringList& paths);
    // The first program found, empty when there is none.
    static QString findSystemInfoProgram();

    // "&Systeminfo...": starts the program found, else says that there is none.
    void startSysInfo();
};
