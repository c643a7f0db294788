#pragma once

#include <QColor>

#include <optional>

// The background colour of the Info banner, walking from blue to green to red and back to blue
// in steps of 10.
class ColourWalk
{
public:
    static constexpr qint64 kStepIntervalMs = 150;

    QColor colour() const { return QColor(m_red, m_green, m_blue); }

    // One step of the walk.
    void step();
    // Steps when more than the interval has passed since the last step, or when there was none
    // yet; true when it stepped.
    bool tick(qint64 nowMs);

private:
    int m_red = 0;
    int m_green = 0;
    int m_blue = 255;
    std::optional<qint64> m_lastStepMs;
};
