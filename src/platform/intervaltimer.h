#pragma once

#include <QObject>

// A repeating interface-thread timer seen through an interface, so that tests
// can fire the ticks themselves instead of waiting for them. SystemTimer is
// the one the program runs on.
class IntervalTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void setInterval(int msec) = 0;
    virtual int interval() const = 0;
    // Starting an active timer begins a full period anew.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

Q_SIGNALS:
    void timeout();
};
