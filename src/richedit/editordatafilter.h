#pragma once

#include <QObject>

class QMimeData;

// Sees data pasted or dropped into an editor before the editor inserts it,
// and may take it over; installed on the editor like an event filter. A
// return value, unlike a signal's out-parameter, cannot get lost when a
// connection is queued.
class EditorDataFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // really is false while data is only dragged over the editor, true when
    // the editor is about to insert it; isDrop tells a drop from a paste.
    // True takes the data over: the editor inserts nothing itself.
    virtual bool queryAcceptData(const QMimeData *data, bool really, bool isDrop) = 0;
};
