#pragma once
// The crest chooser frmwappen: every crest 0..999 in a grid (flxgrdwappen, 11 columns of
// 66-pixel cells), a preview of the clicked crest (imgvorschau, its number in lblnummer),
// btnok and btnabbrechen. Created on first use and hidden afterwards; the grid is loaded at
// every opening, so crests imported meanwhile are shown.
#include <QDialog>
#include <QPixmap>
#include <string>

class QLabel;
class QTableWidget;
struct ProgressSink;

class FrmWappen : public QDialog {
public:
    explicit FrmWappen(QWidget* parent);

    // Opening: the club editor's crest picture and the text of its crest-number field. Loads
    // the grid (status text and percentage to progress) and shows the dialog modally; true on OK.
    bool choose(const std::string& crestFolder, const QPixmap& current, const QString& number, ProgressSink* progress);
    // Loading alone (choose does it before showing the dialog).
    void loadGrid(const std::string& crestFolder, ProgressSink* progress);

    // After OK: the number clicked last (or the one passed in) and its picture.
    QString number() const { return number_; }
    QPixmap picture() const { return picture_; }

private:
    void cellClicked(int row, int column);
    void showPreview();

    std::string folder_;
    QString number_;
    QPixmap picture_;
    QTableWidget* grid_ = nullptr;
    QLabel* preview_ = nullptr;
    QLabel* lblnummer_ = nullptr;
};
