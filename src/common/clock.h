#pragma once

#include "common/datevalue.h"

// "Now" for everything that depends on it, so that tests can run at a fixed moment.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual DateValue now() const = 0;
};

// The local wall clock of this computer.
class SystemClock final : public Clock
{
public:
    DateValue now() const override;
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(DateValue now = 0)
        : m_now(now)
    {}
    DateValue now() const override { return m_now; }
    void set(DateValue now) { m_now = now; }
    void advance(DateValue seconds) { m_now += seconds; }

private:
    DateValue m_now;
};
