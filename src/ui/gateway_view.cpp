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

    connect(m_grid, &CPropertyGrid::rowClicked, this, &CGatewayView::OnRowClicked);
    connect(m_grid, &CPropertyGrid::currentRowEntered, this, [this](int, CParamItem* item) { ShowHelp(item); });
    connect(m_grid, &CPropertyGrid::textCommitted, this, &CGatewayView::OnTextCommitted);
    connect(m_grid, &CPropertyGrid::choiceCommitted, this, &CGatewayView::OnChoiceCommitted);
    connect(m_grid, &CPropertyGrid::choiceDismissed, this, &CGatewayView::OnChoiceDismissed);
}

void CGatewayView::ClearGrid()
{
    m_grid->ClearGrid();
    emit helpTextChanged(QString());
}

void CGatewayView::ShowRecord(const TreeRecord& record)
{
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
    m_edit = {};
}

void CGatewayView::MarkValueFaults(const std::vector<ValueFault>& faults)
{
    std::map<const CParamItem*, std::string> marks;
    for (const ValueFault& fault : faults) {
        if (const CParamItem* item = RecordItemAt(fault.record, fault.row))
            marks[item] = item->value;
    }
    m_grid->MarkFaultyValues(std::move(marks));
}

void CGatewayView::FinishEditing()
{
    m_grid->FinishEditing();
}

void CGatewayView::OnRowClicked(int, int, CParamItem* item)
{
    m_edit = m_current;
    ShowHelp(item);
}

void CGatewayView::ShowHelp(const CParamItem* item)
{
    QString help = FromUtf8(item->help);
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

void CGatewayView::OnTextCommitted(int row, CParamItem* item, const QString& text)
{
    // The text belongs to the record that was shown when the editor opened.
    if (m_edit.type == RECORD_NONE || !(m_edit == m_current) || RecordItemAt(m_edit, row) != item)
        return;
    const CommitOutcome outcome = CommitText(m_root, m_edit, row, ToUtf8(text));
    if (!outcome.accepted()) {
        if (outcome.refusal == CommitRefusal::Check)
            ShowRefusal(outcome.code);
        m_grid->SetValueText(row, FromUtf8(item->value));
        return;
    }
    m_grid->SetValueText(row, FromUtf8(outcome.value));
    MarkChanged(outcome.changed);
    if (outcome.renamed)
        emit slaveRenamed(m_edit.slave);
}

void CGatewayView::OnChoiceCommitted(int row, CParamItem* item, const QString& text)
{
    const TreeRecord edit = m_edit;
    if (edit.type == RECORD_NONE || RecordItemAt(edit, row) != item)
        return;
    const CommitOutcome outcome = CommitChoice(m_root, edit, row, ToUtf8(text));
    const bool shown = edit == m_current;
    if (!outcome.accepted()) {
        if (outcome.refusal == CommitRefusal::Check)
            ShowRefusal(outcome.code);
        if (shown)
            m_grid->SetValueText(row, FromUtf8(item->value));
        return;
    }
    MarkChanged(outcome.changed);
    if (outcome.modeSwitched) {
        // The subnet now shows the other mode's rows, and the tree shows or hides the slave nodes.
        emit modeSwitched();
        ShowRecord(TreeRecord::ForNode(RECORD_SUBNET, &m_root.Subnet()));
        return;
    }
    if (!shown)
        return;
    m_grid->SetValueText(row, FromUtf8(outcome.value));
    for (const int restyled : outcome.rowsRestyled) {
        m_grid->RestyleRow(restyled);
        if (const CParamItem* other = m_grid->ItemAtRow(restyled))
            m_grid->SetValueText(restyled, FromUtf8(other->value));
    }
    m_grid->setCurrentCell(row, 1);
}

void CGatewayView::OnChoiceDismissed(int row, CParamItem* item)
{
    if (m_edit == m_current && m_grid->ItemAtRow(row) == item)
        m_grid->SetValueText(row, FromUtf8(item->value));
}
