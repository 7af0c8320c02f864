#include "platform/systemtimer.h"

SystemTimer::SystemTimer(QObject *parent)
    : IntervalTimer(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &IntervalTimer::timeout);
}
