#include "ui/gateway_view.h"

#include <QVBoxLayout>
#include <map>

#include "model/commit_rules.h"
#include "model/device_config.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"
#include "widgets/property_grid.h"

namespace {

int ShowRecordItems(const TreeRecord& record, CGridSink* grid)
{
    switch (record.type) {
    case RECORD_COMMAND: return record.command ? record.command->ShowItems(grid) : 0;
    case RECORD_SLAVE: return record.slave ? record.slave->ShowItems(grid) : 0;
    case RECORD_FIELDBUS:
    case RECORD_SUBNET: return record.node ? record.node->ShowItems(grid) : 0;
    default: return 0;
    }
}

} // namespace

CGatewayView::CGatewayView(CDeviceConfig& root, bool& modified, CUserPrompt& prompt, QWidget* parent)
    : QWidget(parent), m_root(root), m_modified(modified), m_prompt(prompt), m_grid(new CPropertyGrid(this))
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    setFocusProxy(m_grid);

    connect(m_grid, &CPropertyGrid::rowClicked, this, [this](int row) { ShowHelp(row); });
    connect(m_grid, &CPropertyGrid::currentRowEntered, this, [this](int row) { ShowHelp(row); });
    m_grid->SetCommitHandler([this](int row, CParamItem* item, const QString& text) { return Commit(row, item, text); });
}

void CGatewayView::ClearGrid()
{
    m_grid->ClearGrid();
    emit helpTextChanged(QString());
}

void CGatewayView::ShowRecord(const TreeRecord& record)
{
    // An editor still open (its window lost the keyboard to a floating pane, say) commits to the
    // record it belongs to before the grid shows another.
    FinishEditing();
    ClearGrid();
    m_current = record;
    ShowRecordItems(record, m_grid);
}

void CGatewayView::RefreshRecord()
{
    ShowRecord(m_current);
}

void CGatewayView::ResetView()
{
    ClearGrid();
    m_grid->MarkFaultyValues({});
    m_current = {};
}

void CGatewayView::MarkValueFaults(const std::vector<ValueFault>& faults)
{
    std::map<const CParamItem*, std::string> marks;
    for (const ValueFault& fault : faults) {
        if (const CParamItem* item = gw::RecordItemAt(fault.record, fault.row))
            marks[item] = item->value;
    }
    m_grid->MarkFaultyValues(std::move(marks));
}

void CGatewayView::FinishEditing()
{
    m_grid->FinishEditing();
}

void CGatewayView::ShowHelp(int row)
{
    QString help = m_grid->Rows()->RowAt(row).help;
    help.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    emit helpTextChanged(help);
}

void CGatewayView::ShowRefusal(unsigned code)
{
    m_prompt.ShowMessage(window(), ResultText(code));
}

void CGatewayView::MarkChanged(bool changed)
{
    if (!changed)
        return;
    m_modified = true;
    emit configurationEdited();
}

bool CGatewayView::Commit(int row, CParamItem* item, const QString& text)
{
    // The rows are the current record's: an item it no longer shows takes nothing.
    const TreeRecord record = m_current;
    if (record.type == RECORD_NONE || gw::RecordItemAt(record, row) != item)
        return true;
    const CommitOutcome outcome = gw::CommitEdit(m_root, record, row, ToUtf8(text));
    if (!outcome.accepted()) {
        if (outcome.refusal == CommitRefusal::Check)
            ShowRefusal(outcome.code);
        return false;
    }
    if (outcome.modeSwitched) {
        // The subnet now shows the other mode's rows, and the tree shows or hides the slave nodes.
        emit modeSwitched();
        ShowRecord(TreeRecord::ForNode(RECORD_SUBNET, &m_root.Subnet()));
    } else {
        // The value, and the rows a choice enabled, disabled or reset.
        ShowRecordItems(record, m_grid);
    }
    if (outcome.renamed)
        emit slaveRenamed(record.slave);
    MarkChanged(outcome.changed);
    return true;
}
