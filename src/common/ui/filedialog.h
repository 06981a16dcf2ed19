#pragma once
// The one way the programs ask for file names. Filters come in the form "Text|*.ext|Text|*.a;*.b".
// Tests queue file names; an empty queued name stands for Cancel. Where a command acts on the
// chosen filter entry, filterIndex receives it, 1-based as the filter string counts.
#include <QString>

class QWidget;

namespace ui {

class FileDialog {
public:
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                                   int* filterIndex = nullptr);
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                                   const QString& defaultSuffix = QString(), int* filterIndex = nullptr);

    static void setTestMode(bool on);
    static void setNextFileName(const QString& fileName, int filterIndex = 1);

    // "Text|*.ext|Alle|*.*" -> "Text (*.ext);;Alle (*)"
    static QString toQtFilter(const QString& filter);
};

}  // namespace ui
