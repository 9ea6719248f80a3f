#pragma once
// Acts once on a dialog of type Dialog as soon as it is on screen; for dialogs that run modally,
// where the test's own code only goes on after they have closed.

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

template <typename Dialog>
class DialogDriver : public QObject {
public:
    explicit DialogDriver(std::function<void(Dialog&)> act, QObject* owner = nullptr)
        : QObject(owner), m_act(std::move(act))
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<Dialog*>(widget);
                if (dialog && dialog->isVisible()) {
                    m_timer.stop();
                    m_act(*dialog);
                    return;
                }
            }
        });
        m_timer.start();
    }

private:
    std::function<void(Dialog&)> m_act;
    QTimer m_timer;
};
