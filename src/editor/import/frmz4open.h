#pragma once
// The two small target dialogs of the import (caption "Öffnen..."): lblverein names the opened
// file, cboverein holds every club ("club (nation)", club number as item data), cboland the
// countries, the option pair optnew_0/optnew_1 decides where the file goes, btnok
// "Übernehmen", btnabbrechen "Abbrechen". Both combos are filled by the tree's pick lists.
//
// frmz4open serves exporter club files: optnew_0 "Freie Spieler" stores every player of the
// file as a free player (the workbench with tag "-1", never shown), optnew_1 "Verein  ersetzen"
// opens the workbench frmz4import for the chosen club. The dialogs are created on first use
// and only hidden afterwards; every way out clears the options.
#include <QDialog>
#include <QString>

class FrmMain;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class ImportTargetDialog : public QDialog {
    Q_OBJECT
public:
    // lblverein: the file title shown above the options.
    void setVerein(const QString& title);
    QString verein() const;

    // Handlers, as the controls run them.
    void optnew_Click(int index);
    void btnabbrechen_Click();
    virtual void btnok_Click() = 0;

protected:
    ImportTargetDialog(FrmMain& main, const char* objectName, const QString& option0, const QString& tip0);
    // What an option does beyond checking itself.
    virtual void optionChosen(int index) = 0;
    // Selects the club the rule proposes for the file (none when there is no candidate).
    void selectCandidate(bool teamFile);
    // Puts a text into a combo; a text that is not an entry selects the first entry.
    static void setComboText(QComboBox* combo, const QString& text);
    void clearOptions();
    // A combo selection: btnok is enabled exactly when cboverein has a selection
    // (frmopen: when either combo has one).
    virtual void comboChosen();
    int chosenOption() const;
    void reject() override;

    FrmMain& main_;
    QLabel* lblverein_ = nullptr;
    QComboBox* cboverein_ = nullptr;
    QComboBox* cboland_ = nullptr;
    QRadioButton* optnew_[2] = {};
    QPushButton* btnok_ = nullptr;
    QPushButton* btnabbrechen_ = nullptr;
};

class FrmZ4Open : public ImportTargetDialog {
    Q_OBJECT
public:
    explicit FrmZ4Open(FrmMain& main);
    void btnok_Click() override;

protected:
    void optionChosen(int index) override;
};
