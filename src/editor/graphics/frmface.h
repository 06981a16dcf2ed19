#pragma once
// Faces on screen: the player editor's face (picgesicht with the layers imggesicht_0..4) and
// the face dialog frmgesicht.
//
// Dialog object names: frmgesicht with its own picgesicht and imggesicht_0..4,
// opthautfarbe_0/_1, per part p: sldgesicht_p, btnminus_p, btnplus_p, lblgesicht_p (the
// picture number), btnreset, btnok, btnabbrechen.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace faces {
class FaceDialogModel;
class FaceLibrary;
}  // namespace faces

namespace facepics {

inline constexpr int kParts = 5;
using Layers = std::array<QLabel*, kParts>;

// Draws a face: the background centred in the box at the largest scale that fits, each layer
// over it at the same scale and origin. Missing pictures leave their layer empty.
void draw(QLabel* box, const Layers& layers, const QImage& background, const std::array<QImage, kParts>& parts);

}  // namespace facepics

class FrmGesicht : public QDialog {
public:
    explicit FrmGesicht(QWidget* parent);
    ~FrmGesicht() override;

    // Opening (and Reset, with the same values): skin colour and part indices of the main window.
    void load(const faces::FaceLibrary& lib, int skin, const std::array<int, facepics::kParts>& indices);

    // After OK.
    int skin() const;
    int value(int part) const;
    long long code() const;
    QImage background() const;
    QImage part(int part) const;

private:
    void setSkin(int skin);
    void setValue(int part, int value);
    void showPart(int part);
    void updateButtons(int part);
    void syncWidgets();

    std::unique_ptr<faces::FaceDialogModel> model_;
    const faces::FaceLibrary* lib_ = nullptr;
    int openedSkin_ = 0;
    std::array<int, facepics::kParts> openedIndices_{};
    QImage background_;
    std::array<QImage, facepics::kParts> parts_;

    QLabel* picgesicht_ = nullptr;
    facepics::Layers layers_{};
    QRadioButton* opthautfarbe_[2] = {};
    QSlider* sldgesicht_[facepics::kParts] = {};
    QPushButton* btnminus_[facepics::kParts] = {};
    QPushButton* btnplus_[facepics::kParts] = {};
    QLabel* lblgesicht_[facepics::kParts] = {};
};

// The player editor's face: picgesicht's "tag" holds the face code, each layer's "tag" the
// part index shown. A double-click opens the face dialog (created on first use, then hidden).
class FaceFrame {
public:
    // folder: the face folder, asked at each use (the settings arrive after the window is built).
    FaceFrame(QLabel* box, const facepics::Layers& layers, std::function<std::string()> folder);
    ~FaceFrame();

    // showgesicht: the code's pictures after the downward search for missing ones.
    void showgesicht(long long code);
    // The face dialog on the shown face; OK puts its face here.
    void openDialog();
    // The pictures of the face folder, listed once per folder.
    const faces::FaceLibrary& library();

private:
    QLabel* box_;
    facepics::Layers layers_;
    std::function<std::string()> folder_;
    std::unique_ptr<faces::FaceLibrary> lib_;
    FrmGesicht* dialog_ = nullptr;
};
