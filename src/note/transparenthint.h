#pragma once

#include <QPointer>
#include <QWidget>

class QTextDocument;
class RichDocument;
class TimeSource;
class TJvRichEdit;

// The hover preview: a frameless, translucent top-level window that shows a
// note's whole formatted text below the pointer. It never takes the focus and
// takes no pointer input: clicks and the pointer reach what lies beneath it.
// The board owns the one preview and the note rows drive it: a movement over
// a header loads a note and restarts the timing, the rows' preview timers
// fade it after half a second of rest and hide it after three seconds.
//
// Where no compositor runs, the window's opacity has no effect: the preview
// then shows opaque.
class TTransparentHint : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PreviewWidth = 250;

    // A hidden preview owned by owner, timed by time.
    TTransparentHint(QWidget *owner, const TimeSource &time);

    // The window's opacity, 0 invisible to 255 opaque.
    quint8 Transparency() const { return FTransparency; }
    void setTransparency(quint8 value);

    // Shows the document of source with its formatting and background
    // colour, 250 pixels wide and as tall as the text (at most the screen
    // height plus 10). The note already shown, unchanged, is left as it is.
    void SetRichEdit(const RichDocument &source);
    TJvRichEdit *editor() const { return m_editor; }

    // The tick count of the last pointer movement over a header; 0 while the
    // preview is idle.
    quint32 StartTime() const { return m_startTime; }
    // The pointer moved over a header now.
    void restartTiming();
    // A button was pressed on a header: hidden until the pointer moves again.
    void buttonPressed();
    // Hidden and idle until the pointer moves over a header again.
    void stop();
    // One tick of a note's preview timer: shows a waiting preview after
    // 500 ms, fades it until 3000 ms, then hides it.
    void HintTimerTimer();

    // Below the pointer at pointer (global), centred on a row frameWidth wide,
    // and wholly on the pointer's screen where it fits.
    void placeBelow(const QPoint &pointer, int frameWidth);

    void setVisible(bool visible) override;

private:
    bool isShowing(const RichDocument &source) const;

    const TimeSource &m_time;
    TJvRichEdit *m_editor;
    quint8 FTransparency = 255;
    quint32 m_startTime = 0;
    // The document shown; null once it changed or went.
    QPointer<const QTextDocument> m_shown;
    QMetaObject::Connection m_shownChanges;
};
