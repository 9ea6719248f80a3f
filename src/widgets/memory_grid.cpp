#include "widgets/memory_grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr std::uint32_t kAddressHeaderColour = 0xC56A31;
constexpr int kBitTwips = 300;       // width of a bit column and height of a row
constexpr int kAddressTwips = 600;   // width of the address column

int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// The address column: white addresses on the grid's blue.
class CAddressHeader : public QHeaderView {
public:
    explicit CAddressHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        painter->save();
        painter->fillRect(rect, ColourFromRef(kAddressHeaderColour));
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(Qt::white);
        const QVariant text = model() ? model()->headerData(logicalIndex, Qt::Vertical, Qt::DisplayRole) : QVariant();
        painter->drawText(rect, Qt::AlignCenter, text.toString());
        painter->restore();
    }
};

} // namespace

CMemoryGrid::CMemoryGrid(std::uint32_t baseAddress, QWidget* parent)
    : QTableWidget(kByteRows, kBitColumns, parent), m_base(baseAddress)
{
    setVerticalHeader(new CAddressHeader(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setCornerButtonEnabled(false);
    setWordWrap(false);

    QStringList columns;
    for (int c = 0; c < kBitColumns; ++c)
        columns << ColumnLabel(c);
    setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (int r = 0; r < kByteRows; ++r)
        rows << RowLabel(r);
    setVerticalHeaderLabels(rows);

    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const int cell = TwipsToPixels(kBitTwips, dpi);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(cell);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(cell);
    verticalHeader()->setFixedWidth(TwipsToPixels(kAddressTwips, dpi));
    verticalHeader()->setHighlightSections(false);
    // All 32 bit columns are always in view; only the rows scroll.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMinimumWidth(sizeHint().width());

    for (int r = 0; r < kByteRows; ++r) {
        for (int c = 0; c < kBitColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(Qt::white);
            setItem(r, c, item);
        }
    }
}

void CMemoryGrid::SetBitColour(int bit, const QColor& colour)
{
    if (bit < 0 || bit >= kBitCount)
        return;
    if (QTableWidgetItem* cell = item(RowOfBit(bit), ColumnOfBit(bit)))
        cell->setBackground(colour);
}

QColor CMemoryGrid::BitColour(int bit) const
{
    if (bit < 0 || bit >= kBitCount)
        return {};
    const QTableWidgetItem* cell = item(RowOfBit(bit), ColumnOfBit(bit));
    return cell ? cell->background().color() : QColor();
}

QString CMemoryGrid::RowLabel(int row) const
{
    return QStringLiteral("%1").arg(m_base + static_cast<std::uint32_t>(row) * 4, 4, 16, QLatin1Char('0')).toUpper();
}

QString CMemoryGrid::ColumnLabel(int column) const
{
    if (column < 0 || column >= kBitColumns || column % 8 != 0)
        return {};
    return QStringLiteral("%1").arg(column / 8, 2, 16, QLatin1Char('0')).toUpper();
}

QSize CMemoryGrid::sizeHint() const
{
    // Wide enough for every bit column; ten rows high.
    const int width = verticalHeader()->width() + kBitColumns * horizontalHeader()->defaultSectionSize() +
                      verticalScrollBar()->sizeHint().width() + 2 * frameWidth() + 2;
    const int height = horizontalHeader()->sizeHint().height() + 10 * verticalHeader()->defaultSectionSize() +
                       2 * frameWidth() + 2;
    return {width, height};
}
