#pragma once
// Calls a function when a widget is clicked or double-clicked with the left button; the
// widgets that open choosers are plain pictures without click signals of their own.
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <functional>

class ClickWatch : public QObject {
public:
    ClickWatch(QWidget* widget, QEvent::Type type, std::function<void()> f)
        : QObject(widget), type_(type), f_(std::move(f)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            f_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
    std::function<void()> f_;
};
