#pragma once

#include "platform/intervaltimer.h"

// An IntervalTimer whose ticks the test fires.
class ManualTimer : public IntervalTimer
{
public:
    void setInterval(int msec) override { m_interval = msec; }
    int interval() const override { return m_interval; }
    void start() override
    {
        m_active = true;
        ++starts;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    // One period has passed.
    void tick()
    {
        if (m_active)
            Q_EMIT timeout();
    }

    int starts = 0;

private:
    int m_interval = 0;
    bool m_active = false;
};
