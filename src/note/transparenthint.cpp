#include "note/transparenthint.h"

#include "platform/screenplace.h"
#include "platform/timesource.h"
#include "richedit/jvrichedit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>

namespace {
constexpr int DesignHeight = 50;
constexpr int BelowPointer = 20;
// From the last movement: opaque until the first, fading until the second,
// hidden after it.
constexpr quint32 RestBeforeFading = 500;
constexpr quint32 ShownFor = 3000;
constexpr quint8 FadeStep = 3;
// A press keeps the preview hidden: the timer then sees a start in the
// future, which the unsigned difference turns into a very long time ago.
constexpr quint32 PressDelay = 2000;
} // namespace

TTransparentHint::TTransparentHint(QWidget *owner, const TimeSource &time)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                         | Qt::WindowDoesNotAcceptFocus)
    , m_time(time)
    , m_editor(new TJvRichEdit(this))
{
    setObjectName(QStringLiteral("HintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    m_editor->setObjectName(QStringLiteral("nf"));
    m_editor->setReadOnly(true);
    m_editor->setFocusPolicy(Qt::NoFocus);
    m_editor->setFrameShape(QFrame::NoFrame);
    m_editor->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_editor->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_editor->setScrollBars(TScrollStyle::ssNone);
    // The text is laid out at the window's width, as it was measured.
    m_editor->document()->setDocumentMargin(0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);

    resize(PreviewWidth, DesignHeight);
    setTransparency(FTransparency);
}

void TTransparentHint::setVisible(bool visible)
{
    const bool showing = visible && !isVisible();
    QWidget::setVisible(visible);
    // Showing the window makes the X11 backend of Qt 6.4 give it back a whole
    // input shape, and the pointer would stop at the preview. Setting the
    // flag again once it is shown empties the shape.
    if (!showing)
        return;
    if (QWindow *native = windowHandle()) {
        native->setFlag(Qt::WindowTransparentForInput, false);
        native->setFlag(Qt::WindowTransparentForInput, true);
    }
}

void TTransparentHint::setTransparency(quint8 value)
{
    FTransparency = value;
    setWindowOpacity(value / 255.0);
}

void TTransparentHint::SetRichEdit(const RichDocument &source)
{
    // Every movement over a header asks again: copying and measuring the
    // same long note each time would cost more than a frame.
    if (isShowing(source))
        return;
    m_editor->DefAttributes().Assign(source.DefAttributes());
    m_editor->SelAttributes().Assign(source.SelAttributes());
    m_editor->setColor(source.Color());
    m_editor->setStreamFormat(source.StreamFormat());
    m_editor->setStreamMode(source.StreamMode());
    m_editor->setContent(source);
    resize(PreviewWidth, m_editor->MeasureTextHeight(PreviewWidth, this));

    disconnect(m_shownChanges);
    m_shown = source.textDocument();
    m_shownChanges = connect(source.textDocument(), &QTextDocument::contentsChanged, this,
                             [this] { m_shown = nullptr; });
}

bool TTransparentHint::isShowing(const RichDocument &source) const
{
    // The colour and the default font are the note's, not its document's.
    return m_shown == source.textDocument() && m_editor->Color() == source.Color()
           && m_editor->document()->defaultFont() == source.textDocument()->defaultFont();
}

void TTransparentHint::restartTiming()
{
    m_startTime = m_time.tickCount();
}

void TTransparentHint::buttonPressed()
{
    hide();
    m_startTime = m_time.tickCount() + PressDelay;
}

void TTransparentHint::stop()
{
    hide();
    m_startTime = 0;
}

void TTransparentHint::HintTimerTimer()
{
    if (m_startTime == 0)
        return;
    const quint32 elapsed = m_time.tickCount() - m_startTime;
    if (elapsed > RestBeforeFading && elapsed < ShownFor) {
        show();
        if (FTransparency > FadeStep)
            setTransparency(FTransparency - FadeStep);
    } else if (elapsed > ShownFor) {
        stop();
    }
}

void TTransparentHint::placeBelow(const QPoint &pointer, int frameWidth)
{
    const QRect wanted(pointer.x() - frameWidth / 2, pointer.y() + BelowPointer, width(), height());
    const QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    move(screen ? fitIntoArea(wanted, screen->geometry()) : wanted.topLeft());
}
