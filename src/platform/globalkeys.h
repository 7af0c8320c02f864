#pragma once

#include <QKeyCombination>
#include <QObject>

// Keys taken for the whole desktop: pressed while any program has the
// keyboard, they reach this program. The display server decides who holds a
// key; the first program to take it keeps it.
class GlobalKeys : public QObject
{
    Q_OBJECT

public:
    enum class Grab {
        Held,       // the key now comes here
        Taken,      // another program holds it
        Unavailable // no key of the keyboard makes it
    };
    Q_ENUM(Grab)

    using QObject::QObject;

    virtual Grab grab(QKeyCombination key) = 0;
    virtual void release(QKeyCombination key) = 0;

Q_SIGNALS:
    // A held key went down, once until it is let go again.
    void pressed(QKeyCombination key);
};
