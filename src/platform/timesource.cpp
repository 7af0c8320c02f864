#include "platform/timesource.h"

#include "platform/systemtimer.h"

#include <QElapsedTimer>

quint32 TimeSource::tickCount() const
{
    // The monotonic clock counts from the system's start.
    QElapsedTimer clock;
    clock.start();
    return quint32(clock.msecsSinceReference());
}

IntervalTimer *TimeSource::createTimer(QObject *parent) const
{
    return new SystemTimer(parent);
}

const TimeSource &TimeSource::system()
{
    static const TimeSource source;
    return source;
}
