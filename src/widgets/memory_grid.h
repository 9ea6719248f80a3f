#pragma once
// A memory area drawn bit by bit: one row per four bytes, one column per bit (bit 0 of each
// byte leftmost). Row and column headers stay in place while the grid scrolls: the header row
// names the byte within the row ("00" to "03"), the header column the address of the row's
// first byte. Every bit cell carries a background colour; all start white.

#include <QTableWidget>
#include <cstdint>

#include "widgets/colour_ref.h"

class CMemoryGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kByteRows = 99;       // rows of bits below the header row
    static constexpr int kBitColumns = 32;     // four bytes of eight bits
    static constexpr int kBitCount = kByteRows * kBitColumns;

    // baseAddress: the address of the area's first byte, shown in the first row header.
    explicit CMemoryGrid(std::uint32_t baseAddress, QWidget* parent = nullptr);

    std::uint32_t BaseAddress() const { return m_base; }

    // Colour of a bit number (0 to kBitCount - 1); numbers outside are ignored.
    void SetBitColour(int bit, const QColor& colour);
    QColor BitColour(int bit) const;

    // Header texts: the address of row r (from 0) and the heading of bit column c (from 0).
    QString RowLabel(int row) const;
    QString ColumnLabel(int column) const;

    QSize sizeHint() const override;

    // Where a bit lies: its grid row and column counted from the first bit cell.
    static int RowOfBit(int bit) { return bit / kBitColumns; }
    static int ColumnOfBit(int bit) { return bit % kBitColumns; }

private:
    std::uint32_t m_base;
};
