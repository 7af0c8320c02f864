#pragma once

#include <QtGlobal>

class IntervalTimer;
class QObject;

// Where behaviour that depends on time takes it from: the platform's
// millisecond tick count and interface-thread timers. Tests hand in their own
// to set the clock and fire the ticks themselves.
class TimeSource
{
public:
    virtual ~TimeSource() = default;

    // Milliseconds since the system started, as an unsigned 32-bit count that
    // wraps after 49.7 days; differences are taken modulo 2^32.
    virtual quint32 tickCount() const;
    // A new, stopped timer owned by parent.
    virtual IntervalTimer *createTimer(QObject *parent) const;

    // The system's clock and timers.
    static const TimeSource &system();
};
