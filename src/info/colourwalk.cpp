#include "colourwalk.h"

#include <algorithm>

void ColourWalk::step()
{
    if (m_blue != 0 && m_red == 0 && m_green < 255) {
        m_green += 10;
        m_blue -= 10;
    } else if (m_green != 0 && m_blue == 0 && m_red < 255) {
        m_green -= 10;
        m_red += 10;
    } else if (m_red != 0 && m_green == 0 && m_blue < 255) {
        m_red -= 10;
        m_blue += 10;
    }
    m_red = std::clamp(m_red, 0, 255);
    m_green = std::clamp(m_green, 0, 255);
    m_blue = std::clamp(m_blue, 0, 255);
}

bool ColourWalk::tick(qint64 nowMs)
{
    if (m_lastStepMs && nowMs - *m_lastStepMs <= kStepIntervalMs)
        return false;
    step();
    m_lastStepMs = nowMs;
    return true;
}
