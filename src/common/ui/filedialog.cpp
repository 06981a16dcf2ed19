#include "filedialog.h"

#include <QFileDialog>
#include <QList>
#include <QStringList>

namespace ui {

namespace {
bool g_testMode = false;
QList<std::pair<QString, int>> g_names;

QString takeQueued(int* filterIndex) {
    const auto next = g_names.isEmpty() ? std::pair<QString, int>{QString(), 1} : g_names.takeFirst();
    if (filterIndex) *filterIndex = next.second;
    return next.first;
}

// The 1-based entry of the filter the dialog was left on.
int chosenFilter(const QFileDialog& dialog) {
    const int i = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return i < 0 ? 1 : i + 1;
}

QString run(QFileDialog& dialog, int* filterIndex) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (filterIndex) *filterIndex = chosenFilter(dialog);
    return dialog.selectedFiles().first();
}
}  // namespace

QString FileDialog::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(";;"));
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                                    int* filterIndex) {
    if (g_testMode) return takeQueued(filterIndex);
    QFileDialog dialog(parent, title, dir, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, filterIndex);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                                    const QString& defaultSuffix, int* filterIndex) {
    if (g_testMode) return takeQueued(filterIndex);
    QFileDialog dialog(parent, title, dir, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    return run(dialog, filterIndex);
}

void FileDialog::setTestMode(bool on) {
    g_testMode = on;
    g_names.clear();
}
void FileDialog::setNextFileName(const QString& fileName, int filterIndex) { g_names.append({fileName, filterIndex}); }

}  // namespace ui
