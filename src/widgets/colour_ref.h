#pragma once
// The system's colour values (0x00BBGGRR, model/palette.h) as Qt colours.

#include <QColor>
#include <cstdint>

inline QColor ColourFromRef(std::uint32_t ref)
{
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF), static_cast<int>((ref >> 16) & 0xFF));
}
