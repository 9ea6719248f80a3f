#pragma once
// Answers the message boxes that code under test shows modally: every box that appears is
// recorded with its text and closed with the next scripted answer (OK, or the escape button
// when no answer is left). A hook may look at the program's state while a box is up.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

struct SeenBox {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class ModalBoxWatcher : public QObject {
public:
    ModalBoxWatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start();
    }

    std::vector<SeenBox> seen;
    std::deque<QMessageBox::StandardButton> answers;
    std::function<void(const QMessageBox&)> whileShown;

    QStringList Texts() const
    {
        QStringList texts;
        for (const SeenBox& box : seen)
            texts << box.text;
        return texts;
    }

private:
    void Poll()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible() || m_closing.contains(box))
                continue;
            seen.push_back({box->text(), box->icon(), box->standardButtons()});
            if (whileShown)
                whileShown(*box);
            QAbstractButton* button = nullptr;
            if (!answers.empty()) {
                button = box->button(answers.front());
                answers.pop_front();
            }
            if (!button)
                button = box->button(QMessageBox::Ok);
            if (!button)
                button = box->escapeButton();
            m_closing.append(box);
            if (button)
                button->click();
            else
                box->reject();
        }
        // A box that has gone may be shown again later.
        m_closing.removeIf([](const QPointer<QMessageBox>& box) { return !box || !box->isVisible(); });
    }

    QTimer m_timer;
    QList<QPointer<QMessageBox>> m_closing;
};
