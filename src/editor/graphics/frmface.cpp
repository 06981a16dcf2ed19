#include "editor/graphics/frmface.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "editor/graphics/faces.h"
#include "editor/graphics/frmclickwatch.h"
#include "editor/graphics/pictures.h"

namespace {

const char* const kTag = "tag";
const char* const kPartCaptions[facepics::kParts] = {"Nase", "Mund", "Haare", "Augen", "Kinn"};

QImage picture(const std::filesystem::path& file) { return file.empty() ? QImage() : gfx::loadPicture(file); }

}  // namespace

// ---------------------------------------------------------------- drawing

void facepics::draw(QLabel* box, const Layers& layers, const QImage& background, const std::array<QImage, kParts>& parts) {
    const QRect area = box->contentsRect();
    // The scale comes from the background; without one, from the first part that has a picture.
    QSize base = background.size();
    for (const QImage& p : parts)
        if (base.isEmpty() && !p.isNull()) base = p.size();
    double scale = 1.0;
    if (!base.isEmpty()) scale = std::min(double(area.width()) / base.width(), double(area.height()) / base.height());
    const auto scaled = [scale](const QImage& img) {
        if (img.isNull()) return QPixmap();
        const QSize size(std::max(1, qRound(img.width() * scale)), std::max(1, qRound(img.height() * scale)));
        return QPixmap::fromImage(size == img.size() ? img : img.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    };
    const QSize baseScaled(qRound(base.width() * scale), qRound(base.height() * scale));
    const QPoint origin(area.x() + (area.width() - baseScaled.width()) / 2, area.y() + (area.height() - baseScaled.height()) / 2);
    box->setAlignment(Qt::AlignCenter);
    if (background.isNull()) box->clear();
    else box->setPixmap(scaled(background));
    for (int k = 0; k < kParts; ++k) {
        const QPixmap pm = scaled(parts[k]);
        if (pm.isNull()) {
            layers[k]->clear();
            continue;
        }
        layers[k]->setGeometry(QRect(origin, pm.size()));
        layers[k]->setPixmap(pm);
        layers[k]->raise();
    }
}

// ---------------------------------------------------------------- face dialog

FrmGesicht::FrmGesicht(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmgesicht"));
    setWindowTitle(QStringLiteral("Gesicht"));
    setModal(true);

    picgesicht_ = new QLabel(this);
    picgesicht_->setObjectName(QStringLiteral("picgesicht"));
    picgesicht_->setFixedSize(132, 164);
    picgesicht_->setFrameShape(QFrame::StyledPanel);
    picgesicht_->setFrameShadow(QFrame::Sunken);
    for (int k = 0; k < facepics::kParts; ++k) {
        layers_[k] = new QLabel(picgesicht_);
        layers_[k]->setObjectName(QStringLiteral("imggesicht_%1").arg(k));
        layers_[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
        layers_[k]->setProperty(kTag, 0);
    }

    auto* skinBox = new QGroupBox(QStringLiteral("Hautfarbe"), this);
    skinBox->setObjectName(QStringLiteral("framehautfarbe"));
    auto* skinLayout = new QHBoxLayout(skinBox);
    for (int s = 0; s < faces::kSkins; ++s) {
        opthautfarbe_[s] = new QRadioButton(QString::fromUtf8(faces::kSkinCaptions[s]), skinBox);
        opthautfarbe_[s]->setObjectName(QStringLiteral("opthautfarbe_%1").arg(s));
        skinLayout->addWidget(opthautfarbe_[s]);
        // Only a choice by the user resets the sliders; load() sets the option quietly.
        connect(opthautfarbe_[s], &QRadioButton::toggled, this, [this, s](bool on) {
            if (on) setSkin(s);
        });
    }

    auto* partsBox = new QGroupBox(QStringLiteral("Gesichtsteile"), this);
    partsBox->setObjectName(QStringLiteral("framegesichtsteile"));
    auto* grid = new QGridLayout(partsBox);
    for (int k = 0; k < facepics::kParts; ++k) {
        grid->addWidget(new QLabel(QString::fromLatin1(kPartCaptions[k]) + QLatin1Char(':'), partsBox), k, 0);
        btnminus_[k] = new QPushButton(QStringLiteral("-"), partsBox);
        btnminus_[k]->setObjectName(QStringLiteral("btnminus_%1").arg(k));
        btnplus_[k] = new QPushButton(QStringLiteral("+"), partsBox);
        btnplus_[k]->setObjectName(QStringLiteral("btnplus_%1").arg(k));
        for (QPushButton* b : {btnminus_[k], btnplus_[k]}) {
            b->setFixedWidth(28);
            b->setAutoDefault(false);
        }
        sldgesicht_[k] = new QSlider(Qt::Horizontal, partsBox);
        sldgesicht_[k]->setObjectName(QStringLiteral("sldgesicht_%1").arg(k));
        sldgesicht_[k]->setMinimumWidth(180);
        sldgesicht_[k]->setPageStep(1);
        sldgesicht_[k]->setTickPosition(QSlider::TicksBelow);
        lblgesicht_[k] = new QLabel(partsBox);
        lblgesicht_[k]->setObjectName(QStringLiteral("lblgesicht_%1").arg(k));
        lblgesicht_[k]->setMinimumWidth(46);
        lblgesicht_[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(btnminus_[k], k, 1);
        grid->addWidget(sldgesicht_[k], k, 2);
        grid->addWidget(btnplus_[k], k, 3);
        grid->addWidget(lblgesicht_[k], k, 4);
        connect(sldgesicht_[k], &QSlider::valueChanged, this, [this, k](int v) { setValue(k, v); });
        connect(btnminus_[k], &QPushButton::clicked, this, [this, k] { sldgesicht_[k]->setValue(sldgesicht_[k]->value() - 1); });
        connect(btnplus_[k], &QPushButton::clicked, this, [this, k] { sldgesicht_[k]->setValue(sldgesicht_[k]->value() + 1); });
    }

    auto* btnreset = new QPushButton(QStringLiteral("Reset"), this);
    btnreset->setObjectName(QStringLiteral("btnreset"));
    btnreset->setToolTip(QStringLiteral("Alle Werte zurücksetzen"));
    btnreset->setAutoDefault(false);
    auto* btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setDefault(true);
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);
    connect(btnreset, &QPushButton::clicked, this, [this] {
        if (lib_) load(*lib_, openedSkin_, openedIndices_);
    });
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(skinBox);
    right->addWidget(partsBox);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picgesicht_, 0, Qt::AlignTop);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnreset);
    buttons->addStretch(1);
    buttons->addWidget(btnok);
    buttons->addWidget(btnabbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

FrmGesicht::~FrmGesicht() = default;

void FrmGesicht::load(const faces::FaceLibrary& lib, int skin, const std::array<int, facepics::kParts>& indices) {
    lib_ = &lib;
    openedSkin_ = skin;
    openedIndices_ = indices;
    model_ = std::make_unique<faces::FaceDialogModel>(lib);
    model_->open(skin, indices);
    {
        const QSignalBlocker b0(opthautfarbe_[0]), b1(opthautfarbe_[1]);
        opthautfarbe_[model_->skin()]->setChecked(true);
        opthautfarbe_[1 - model_->skin()]->setChecked(false);
    }
    syncWidgets();
}

void FrmGesicht::setSkin(int skin) {
    if (!model_) return;
    model_->setSkin(skin);
    syncWidgets();
}

// Sliders, buttons and pictures from the model.
void FrmGesicht::syncWidgets() {
    background_ = picture(model_->backgroundFile());
    for (int k = 0; k < facepics::kParts; ++k) {
        const QSignalBlocker block(sldgesicht_[k]);
        sldgesicht_[k]->setRange(0, model_->maximum(k));
        sldgesicht_[k]->setValue(model_->value(k));
        parts_[k] = picture(model_->partFile(k));
        layers_[k]->setProperty(kTag, model_->value(k));
        updateButtons(k);
    }
    facepics::draw(picgesicht_, layers_, background_, parts_);
}

void FrmGesicht::setValue(int part, int value) {
    if (!model_) return;
    model_->setValue(part, value);
    showPart(part);
    updateButtons(part);
}

void FrmGesicht::showPart(int part) {
    parts_[part] = picture(model_->partFile(part));
    layers_[part]->setProperty(kTag, model_->value(part));
    facepics::draw(picgesicht_, layers_, background_, parts_);
}

void FrmGesicht::updateButtons(int part) {
    btnminus_[part]->setEnabled(model_->minusEnabled(part));
    btnplus_[part]->setEnabled(model_->plusEnabled(part));
    lblgesicht_[part]->setText(QStringLiteral("%1 / %2").arg(model_->value(part) + 1).arg(model_->maximum(part) + 1));
}

int FrmGesicht::skin() const { return model_ ? model_->skin() : 0; }
int FrmGesicht::value(int part) const { return model_ ? model_->value(part) : 0; }
long long FrmGesicht::code() const { return model_ ? model_->code() : 0; }
QImage FrmGesicht::background() const { return background_; }
QImage FrmGesicht::part(int part) const { return parts_[part]; }

// ---------------------------------------------------------------- the player editor's face

FaceFrame::FaceFrame(QLabel* box, const facepics::Layers& layers, std::function<std::string()> folder)
    : box_(box), layers_(layers), folder_(std::move(folder)) {
    new ClickWatch(box_, QEvent::MouseButtonDblClick, [this] { openDialog(); });
}

FaceFrame::~FaceFrame() = default;

const faces::FaceLibrary& FaceFrame::library() {
    const std::string folder = folder_();
    if (!lib_ || lib_->folder() != folder) lib_ = std::make_unique<faces::FaceLibrary>(folder);
    return *lib_;
}

void FaceFrame::showgesicht(long long code) {
    box_->setProperty(kTag, code);
    const faces::FaceView view = faces::showgesicht(library(), code);
    std::array<QImage, facepics::kParts> parts;
    if (view.valid) {
        for (int k = 0; k < facepics::kParts; ++k) {
            parts[k] = picture(view.parts[k]);
            layers_[k]->setProperty(kTag, view.indices[k]);
        }
        facepics::draw(box_, layers_, picture(view.background), parts);
        return;
    }
    // A code without a colour shows nothing; the layers keep its indices for the save.
    const faces::Face f = faces::decode(code < 0 ? 0 : code);
    for (int k = 0; k < facepics::kParts; ++k) layers_[k]->setProperty(kTag, f.parts[k]);
    facepics::draw(box_, layers_, QImage(), parts);
}

void FaceFrame::openDialog() {
    if (!dialog_) dialog_ = new FrmGesicht(box_->window());
    // The folder is listed again so that pictures added meanwhile are offered.
    lib_.reset();
    const faces::FaceLibrary& lib = library();
    const long long code = box_->property(kTag).toLongLong();
    const int skin = static_cast<int>(((code % 4) + 4) % 4);
    std::array<int, facepics::kParts> indices{};
    for (int k = 0; k < facepics::kParts; ++k) indices[k] = layers_[k]->property(kTag).toInt();
    dialog_->load(lib, skin, indices);
    if (dialog_->exec() != QDialog::Accepted) return;
    std::array<QImage, facepics::kParts> parts;
    for (int k = 0; k < facepics::kParts; ++k) {
        parts[k] = dialog_->part(k);
        layers_[k]->setProperty(kTag, dialog_->value(k));
    }
    box_->setProperty(kTag, dialog_->code());
    facepics::draw(box_, layers_, dialog_->background(), parts);
}
