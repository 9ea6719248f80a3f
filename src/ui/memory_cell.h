#pragma once
// One used bit of the memory map dialog: where it lies in its grid, how it is classified, and
// whether it is shown as part of the selected command.

#include <cstdint>

class CMemoryGrid;

class CMemoryCell {
public:
    enum State { STATE_SELECTED = 0, STATE_NORMAL = 1 };

    // A bit of area (0 input, 1 output) used by count commands, shown in grid.
    CMemoryCell(CMemoryGrid* grid, int area, int bitNumber, std::uint32_t count);

    int BitNumber() const { return m_bitNumber; }
    int Area() const { return m_area; }
    State GetState() const { return m_state; }
    std::uint32_t Colour() const { return m_colour; }
    // Colour drawn for the state: the classification colour, or blue while selected.
    std::uint32_t ShownColour() const;

    // Changes the state and repaints the cell.
    void SetState(State state);
    void Paint() const;

private:
    CMemoryGrid* m_grid;
    int m_area;
    int m_bitNumber;
    State m_state = STATE_NORMAL;
    std::uint32_t m_colour;
};
