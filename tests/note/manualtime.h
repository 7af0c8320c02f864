#pragma once

#include "../app/manualtimer.h"
#include "platform/timesource.h"

// A clock the test sets and timers whose ticks the test fires.
class ManualTime : public TimeSource
{
public:
    quint32 tickCount() const override { return now; }
    IntervalTimer *createTimer(QObject *parent) const override
    {
        auto *timer = new ManualTimer;
        timer->setParent(parent);
        return timer;
    }

    quint32 now = 100000;
};
