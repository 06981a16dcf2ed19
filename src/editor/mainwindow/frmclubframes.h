#pragma once
// The three frames of a club's data as the club editor and the import workbench show them:
// "Team" (txtteamlang, txtteamkurz, txtstadt, cboland, lblkontinent with cbokontinent),
// "Logo" (txttnr, txtgrafnr and the crest picture) and "Stadion" (txtstadion, txtsitz,
// txtsteh). The windows name the frames and the crest picture their own way.
class PickLists;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

struct ClubFrames {
    QGroupBox* team = nullptr;
    QGroupBox* logo = nullptr;
    QGroupBox* stadion = nullptr;
    QLineEdit* txtteamlang = nullptr;
    QLineEdit* txtteamkurz = nullptr;
    QLineEdit* txtstadt = nullptr;
    QComboBox* cboland = nullptr;  // the countries of the pick lists
    QLabel* lblkontinent = nullptr;
    QComboBox* cbokontinent = nullptr;  // the twelve continents
    QLineEdit* txttnr = nullptr;
    QLineEdit* txtgrafnr = nullptr;
    QLabel* crest = nullptr;
    QLineEdit* txtstadion = nullptr;
    QLineEdit* txtsitz = nullptr;
    QLineEdit* txtsteh = nullptr;
};

struct ClubFrameNames {
    const char* team;
    const char* logo;
    const char* stadion;
    const char* crest;
};

ClubFrames buildClubFrames(QWidget* page, PickLists& lists, const ClubFrameNames& names);
