#include "messagebox.h"

#include <QList>
#include <QAbstractButton>
#include <QMessageBox>

namespace ui {

namespace {
bool g_testMode = false;
QList<MessageBox::Answer> g_answers;
QList<MessageBox::Shown> g_shown;

MessageBox::Answer show(QWidget* parent, MessageBox::Icon icon, const QString& title, const QString& text,
                        bool question = false) {
    if (g_testMode) {
        g_shown.append({icon, title, text, question});
        if (!question) return MessageBox::Ok;
        return g_answers.isEmpty() ? MessageBox::No : g_answers.takeFirst();
    }
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
        case MessageBox::Information: box.setIcon(QMessageBox::Information); break;
        case MessageBox::Question: box.setIcon(QMessageBox::Question); break;
        case MessageBox::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageBox::Critical: box.setIcon(QMessageBox::Critical); break;
        case MessageBox::NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
        return box.exec() == QMessageBox::Yes ? MessageBox::Yes : MessageBox::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageBox::Ok;
}
}  // namespace

MessageBox::Answer MessageBox::question(QWidget* parent, const QString& title, const QString& text) {
    return show(parent, Question, title, text, true);
}
MessageBox::Answer MessageBox::question(QWidget* parent, const QString& title, const QString& text, Icon icon) {
    return show(parent, icon, title, text, true);
}
void MessageBox::plain(QWidget* parent, const QString& title, const QString& text) { show(parent, NoIcon, title, text); }
void MessageBox::information(QWidget* parent, const QString& title, const QString& text) {
    show(parent, Information, title, text);
}
void MessageBox::warning(QWidget* parent, const QString& title, const QString& text) {
    show(parent, Warning, title, text);
}
void MessageBox::critical(QWidget* parent, const QString& title, const QString& text) {
    show(parent, Critical, title, text);
}

void MessageBox::setTestMode(bool on) {
    g_testMode = on;
    g_answers.clear();
}
void MessageBox::setNextAnswer(Answer answer) { g_answers.append(answer); }
const QList<MessageBox::Shown>& MessageBox::shown() { return g_shown; }
void MessageBox::clearShown() { g_shown.clear(); }

}  // namespace ui
