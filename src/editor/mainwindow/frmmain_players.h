#pragma once
// The player half of the main window: the player grid below the editor (flxgrdspieler) and the
// content of the tab "Spieler" (player editor, face frame, talent grid). The main window owns
// both widgets and places them; this class fills them and saves players.
//
// Object names: framespielerliste with flxgrdspieler; tabspieler with the frames frameinfo,
// framedaten, framegesicht, framespielertalente (titles "Info", "Daten", "Gesicht",
// "Spielertalente"), txtspielernr, txtspielername, txtspielervorname, cbospielerstärke,
// cbospielermstärke, cbospielerpos, cbospielerland, txtspielereinsatz, txtspielerrnr,
// txtspielergroesse, btnspielerspeichern, flxgrdattribute; the face picture picgesicht with
// the layers imggesicht_0..4 inside. The save reads the face code from picgesicht's property
// "tag" and the hair style from imggesicht_2's "tag"; showing a player sets them from the list.
#include <QObject>
#include <QStringList>

class Dao;
class QWidget;
struct ProgressSink;
struct Settings;

class PlayerArea : public QObject {
    Q_OBJECT
public:
    PlayerArea(Dao& dao, const Settings& settings, ProgressSink& progress, QWidget* parent);
    ~PlayerArea() override;

    // The frame with the grid flxgrdspieler (placed below tree and tabs).
    QWidget* gridFrame() const;
    // The page of the tab "Spieler".
    QWidget* playerPage() const;

    // Start-up: initgrid and load_attribute.
    void initgrid();
    void load_attribute();

    // Fills the grid with the players of a club (or national team, or 0 for the transfer market).
    void showspielerliste(long long club);
    // Enables or disables the four player frames and the save button (tree clicks disable them).
    void setPlayerFramesEnabled(bool on);
    // Selects the player's row and shows him in the editor, as a click on the row does; false
    // when the list does not hold him.
    bool selectPlayer(long long number);
    // Enables or disables the player list frame (anaus).
    void setGridEnabled(bool on);
    // The country pick list of the player editor: "TRANSFERMARKT" first, then the countries.
    void setCountryList(const QStringList& entries);

signals:
    // A grid row was clicked and the player is shown: the main window switches to the tab "Spieler".
    void playerShown();
    // A message for the user (German), e.g. a field that is not a number or an engine error.
    void message(const QString& title, const QString& text);

private:
    struct Impl;
    Impl* d;
};
