#include "filedialog.h"

#include <QFileDialog>
#include <QList>
#include <QStringList>

namespace ui {

namespace {
bool g_testMode = false;
QList<QString> g_names;

QString takeQueued() { return g_names.isEmpty() ? QString() : g_names.takeFirst(); }
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

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) {
    if (g_testMode) return takeQueued();
    return QFileDialog::getOpenFileName(parent, title, dir, toQtFilter(filter));
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
                                    const QString& defaultSuffix) {
    if (g_testMode) return takeQueued();
    QFileDialog dialog(parent, title, dir, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

void FileDialog::setTestMode(bool on) {
    g_testMode = on;
    g_names.clear();
}
void FileDialog::setNextFileName(const QString& fileName) { g_names.append(fileName); }

}  // namespace ui
