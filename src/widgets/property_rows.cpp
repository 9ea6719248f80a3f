#include "widgets/property_rows.h"

#include "model/palette.h"
#include "widgets/colour_ref.h"
#include "widgets/utf8_text.h"

CPropertyRows::CPropertyRows(QObject* parent) : QAbstractTableModel(parent), m_rows(kMinimumRows) {}

void CPropertyRows::Clear()
{
    beginResetModel();
    m_rows.assign(kMinimumRows, Row{});
    endResetModel();
}

void CPropertyRows::ShowItem(int row, CParamItem& item)
{
    if (row < 0)
        return;
    if (row >= rowCount()) {
        beginInsertRows({}, rowCount(), row);
        m_rows.resize(static_cast<std::size_t>(row) + 1);
        endInsertRows();
    }
    Row& shown = m_rows[static_cast<std::size_t>(row)];
    shown.item = &item;
    shown.label = FromUtf8(item.label);
    shown.value = FromUtf8(item.value);
    shown.help = FromUtf8(item.help);
    shown.state = item.state;
    shown.enable = item.enable;
    shown.choices.clear();
    for (const std::string& choice : item.choices)
        shown.choices << FromUtf8(choice);
    emit dataChanged(index(row, 0), index(row, 1));
}

CParamItem* CPropertyRows::ItemAtRow(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)].item : nullptr;
}

const CPropertyRows::Row& CPropertyRows::RowAt(int row) const
{
    static const Row kEmpty;
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)] : kEmpty;
}

void CPropertyRows::MarkFaultyValues(std::map<const CParamItem*, std::string> marks)
{
    m_faulty = std::move(marks);
    emit dataChanged(index(0, 1), index(rowCount() - 1, 1), {Qt::BackgroundRole});
}

bool CPropertyRows::ShowsFaultyValue(int row) const
{
    const Row& shown = RowAt(row);
    const auto mark = shown.item ? m_faulty.find(shown.item) : m_faulty.end();
    return mark != m_faulty.end() && FromUtf8(mark->second) == shown.value;
}

bool CPropertyRows::Commit(int row, const QString& text)
{
    CParamItem* item = ItemAtRow(row);
    return item && m_commit && m_commit(row, item, text);
}

int CPropertyRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CPropertyRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant CPropertyRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row& shown = RowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == 0 ? shown.label : shown.value;
    case Qt::BackgroundRole:
        // Labels and empty rows are white; a value white while editable, grey while read-only,
        // red while it holds a value marked as faulty.
        if (index.column() == 0 || !shown.item)
            return ColourFromRef(kColourWhite);
        if (ShowsFaultyValue(index.row()))
            return ColourFromRef(kColourConflict);
        return ColourFromRef(shown.enable == 1 ? kColourWhite : kColourReadOnlyGrey);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags CPropertyRows::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (index.column() == 1 && RowAt(index.row()).OffersEditor())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CPropertyRows::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole)
        return false;
    return Commit(index.row(), value.toString());
}
