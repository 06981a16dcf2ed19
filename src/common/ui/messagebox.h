#pragma once
// The one way the programs show message boxes. Tests queue answers and read what was shown,
// so no box ever blocks a test.
#include <QString>

class QWidget;

namespace ui {

class MessageBox {
public:
    enum Answer { Ok, Yes, No, Cancel };
    enum Icon { Information, Question, Warning, Critical, NoIcon };

    // Yes/No box with No as the default, with the question icon or the one asked for
    // (Critical is the stop sign).
    static Answer question(QWidget* parent, const QString& title, const QString& text);
    static Answer question(QWidget* parent, const QString& title, const QString& text, Icon icon);
    // OK box without an icon.
    static void plain(QWidget* parent, const QString& title, const QString& text);
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);

    // Test seam: with test mode on, boxes are not shown; questions take the queued answers
    // in order (No when none is queued), and every box is recorded.
    static void setTestMode(bool on);
    static void setNextAnswer(Answer answer);
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        bool question = false;  // a Yes/No box
    };
    static const QList<Shown>& shown();
    static void clearShown();
};

}  // namespace ui
