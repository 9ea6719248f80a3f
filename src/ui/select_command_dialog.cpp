#include "ui/select_command_dialog.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include "model/modbus_command.h"
#include "ui/ui_text.h"

CSelectCommandDlg::CSelectCommandDlg(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(tr("Select Command"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(11);
    setFont(font);
    setModal(true);

    m_list->setObjectName(QStringLiteral("functionList"));
    m_list->setSortingEnabled(true);
    for (int index = 0; index < kFunctionCount; ++index) {
        std::string name;
        int supported = 0;
        gw::GetFunctionInfo(index, &supported, &name);
        auto* entry = new QListWidgetItem(FromUtf8(name));
        entry->setData(Qt::UserRole, index);
        if (!supported) {
            // Shown, so that the list names every function, but greyed and never chosen.
            entry->setFlags(entry->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            entry->setToolTip(tr("The module cannot send this function: only function codes "
                                 "01-06, 15 and 16 can be configured."));
        }
        m_list->addItem(entry);
    }
    m_list->sortItems();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    m_list->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_list);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : 20;
    resize(260, rowHeight * kFunctionCount + 2 * m_list->frameWidth() + 24);

    connect(m_list, &QListWidget::itemDoubleClicked, this, &CSelectCommandDlg::Choose);
}

void CSelectCommandDlg::Choose(QListWidgetItem* entry)
{
    if (entry && (entry->flags() & Qt::ItemIsEnabled))
        emit functionChosen(entry->data(Qt::UserRole).toInt());
}

bool CSelectCommandDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Return on the highlighted function adds it, as a double click does; the dialog stays open.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Choose(m_list->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
