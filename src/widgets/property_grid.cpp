#include "widgets/property_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

namespace {

QFont GridFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(11.25);
    return font;
}

} // namespace

CPropertyGrid::CPropertyGrid(QWidget* parent)
    : QTableView(parent), m_rows(new CPropertyRows(this)), m_delegate(new CPropertyDelegate(this))
{
    setModel(m_rows);
    setItemDelegate(m_delegate);
    setFont(GridFont());
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The label column keeps its width (half the grid, or what the user dragged it to); the
    // value column takes the rest.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setMinimumSectionSize(24);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Editors open only through OpenEditor: a click on a value, Return, F2 or a typed character.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    viewport()->setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    connect(this, &QAbstractItemView::clicked, this, &CPropertyGrid::OnClicked);
    connect(m_delegate, &CPropertyDelegate::editEnded, this, &CPropertyGrid::EndEdit);
}

void CPropertyGrid::ClearGrid()
{
    if (QWidget* editor = m_editor) {
        m_editor = nullptr;
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    m_rows->Clear();
}

QString CPropertyGrid::CellText(int row, int column) const
{
    return m_rows->index(row, column).data().toString();
}

QColor CPropertyGrid::ValueColour(int row) const
{
    return m_rows->index(row, 1).data(Qt::BackgroundRole).value<QColor>();
}

QLineEdit* CPropertyGrid::TextEditor() const
{
    return qobject_cast<QLineEdit*>(m_editor.data());
}

QComboBox* CPropertyGrid::ChoiceEditor() const
{
    return qobject_cast<QComboBox*>(m_editor.data());
}

void CPropertyGrid::MakeRowCurrent(int row)
{
    if (row >= 0 && row < RowCount())
        setCurrentIndex(m_rows->index(row, 0));
}

void CPropertyGrid::OnClicked(const QModelIndex& index)
{
    CParamItem* item = ItemAtRow(index.row());
    if (!item)
        return;
    emit rowClicked(index.row(), index.column(), item);
    // The handler may have drawn the grid again: the row must still show the same item.
    if (index.column() == 1 && ItemAtRow(index.row()) == item)
        OpenEditor(index.row());
}

void CPropertyGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row())
        if (CParamItem* item = ItemAtRow(current.row()))
            emit currentRowEntered(current.row(), item);
}
