#pragma once

#include "platform/intervaltimer.h"

#include <QTimer>

// IntervalTimer on a QTimer of the interface thread.
class SystemTimer : public IntervalTimer
{
    Q_OBJECT

public:
    explicit SystemTimer(QObject *parent = nullptr);

    void setInterval(int msec) override { m_timer.setInterval(msec); }
    int interval() const override { return m_timer.interval(); }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
