#include "ui/select_command_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "model/modbus_command.h"
#include "ui/ui_text.h"

CSelectCommandDlg::CSelectCommandDlg(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Select Command"));
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
        GetFunctionInfo(index, &supported, &name);
        auto* entry = new QListWidgetItem(FromUtf8(name));
        entry->setData(Qt::UserRole, index);
        m_list->addItem(entry);
    }
    m_list->sortItems();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_list);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : 20;
    resize(260, rowHeight * kFunctionCount + 2 * m_list->frameWidth() + 24);

    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* entry) { emit functionChosen(entry->data(Qt::UserRole).toInt()); });
}
