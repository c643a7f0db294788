#include "common/grouppalette.h"

#include <array>

QRgb groupColor(int groupId)
{
    static constexpr std::array<QRgb, kGroupCount> palette{
            0xFF9A9A, 0x93FF93, 0xAAAAFF, 0xFFFFA9, 0xFFCEA9, 0x9AFFFF, 0xA9DCA9,
            0xEEA7FF, 0xFFD5FF, 0xA89AE5, 0xE59A9A, 0xFFFFFF, 0xD4D4D4, 0x808080,
            0x9AF2DF, 0xE2BB9B, 0xD3A4FF, 0xD6CABF, 0xBFD6D6, 0xE8EDBF};
    if (groupId < 1 || groupId > kGroupCount)
        return 0xFFFFFFFF;
    return 0xFF000000 | palette[static_cast<std::size_t>(groupId - 1)];
}
