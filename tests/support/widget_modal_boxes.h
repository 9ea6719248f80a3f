#pragma once
// Answers the message boxes that code under test shows modally: every box that appears is
// recorded with its text and closed with the next scripted answer (OK, or the escape button
// when no answer is left). A hook may look at the program's state while a box is up.

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
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
    ModalBoxWatcher();

    std::vector<SeenBox> seen;
    std::deque<QMessageBox::StandardButton> answers;
    std::function<void(const QMessageBox&)> whileShown;

    QStringList Texts() const;

private:
    void Poll();

    QTimer m_timer;
    QList<QPointer<QMessageBox>> m_closing;
};
