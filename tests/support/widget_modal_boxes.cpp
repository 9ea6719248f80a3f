#include "support/widget_modal_boxes.h"

#include <QAbstractButton>
#include <QApplication>

ModalBoxWatcher::ModalBoxWatcher()
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start();
}

QStringList ModalBoxWatcher::Texts() const
{
    QStringList texts;
    for (const SeenBox& box : seen)
        texts << box.text;
    return texts;
}

void ModalBoxWatcher::Poll()
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
