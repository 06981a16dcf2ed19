#pragma once
// The jersey previews and the crest picture as both the club editor and the import workbench
// show them: a picture box per jersey with the kit shapes (shpstreif_n, shpsock_n, shparm_n,
// shphose_n, shpstreifh_n) inside, and the crest of a graphic number.
#include <QString>
#include <string>

#include "editor/graphics/jerseys.h"

class QLabel;
class QPixmap;
struct Settings;

namespace previews {

// Sizes the picture box of jersey k and puts the kit shapes into it; property "tag" = 0.
void setupJersey(QLabel* preview, int k);
// Model picture of the active set with the shapes in the given colours; without colours the
// shapes keep the ones they have. Sets property "tag" to the model.
void drawJersey(QLabel* preview, int k, int model, const jerseys::Colours* colours, const Settings& settings);
// Only the shapes, in new colours (the picture stays).
void fillJersey(QLabel* preview, int k, const jerseys::Colours& colours);
// Empty picture, tag 0, shapes hidden.
void clearJersey(QLabel* preview, int k);

// The crest of a graphic number: its file, copied from default.tga when missing; a text when
// there is no picture at all; nothing for a text that is no number.
void showCrest(QLabel* picture, const std::string& crestFolder, const QString& grafnr);
// A picture fitted into the crest box (larger ones scaled down, smaller ones as they are).
void setCrestPicture(QLabel* picture, const QPixmap& crest);

}  // namespace previews
