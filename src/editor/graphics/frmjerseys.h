#pragma once
// The jersey chooser frmtrikot: the 80 models of the active jersey set in a grid
// (flxgrdtrikot, 12 × 7 cells of 61 pixels); the last row carries the caption
// "Ausgewähltes Trikot:" and, in its last cell, the model chosen so far. btnok, btnabbrechen.
// The grid's property "tag" is the chosen model. Created on first use for one jersey set;
// the main window drops it when the set changes.
#include <QDialog>
#include <QPixmap>
#include <string>

class QTableWidget;
struct ProgressSink;

class FrmTrikot : public QDialog {
public:
    explicit FrmTrikot(QWidget* parent);

    // Loading: the model pictures of a set folder (status text and percentage to progress).
    void loadModels(const std::string& setFolder, ProgressSink* progress);
    // Opening: the caller's picture and model go into the selection cell; true on OK.
    bool choose(const QPixmap& current, int model);
    // After OK: the chosen model.
    int model() const;

    // A click on a cell: a model below 80 becomes the selection; other cells change nothing.
    void select(int row, int column);

private:
    void showSelection(const QPixmap& picture, int model);
    QTableWidget* grid_ = nullptr;
    QPixmap pictures_[80];
};
