#include "ui/memory_cell.h"

#include "mapping/usage_map.h"
#include "widgets/memory_grid.h"

CMemoryCell::CMemoryCell(CMemoryGrid* grid, int area, int bitNumber, std::uint32_t count)
    : m_grid(grid), m_area(area), m_bitNumber(bitNumber), m_colour(gw::BitClassColour(gw::ClassifyBit(bitNumber, count)))
{
}

std::uint32_t CMemoryCell::ShownColour() const
{
    return m_state == STATE_SELECTED ? kColourSelected : m_colour;
}

void CMemoryCell::SetState(State state)
{
    m_state = state;
    Paint();
}

void CMemoryCell::Paint() const
{
    if (m_grid)
        m_grid->SetBitColour(m_bitNumber, ColourFromRef(ShownColour()));
}
