#include "board/notesview.h"

#include "board/notesmodel.h"
#include "note/noteframe.h"
#include "note/notewindow.h" // noteframe.h hands out the window
#include "richtext/textcontrast.h"

#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

// The row's margins, the close picture's size and the space before it.
constexpr int LeftMargin = 2;
constexpr int RightMargin = 1;
constexpr int CloseSize = 14;
constexpr int Spacing = 2;
// The row shows one line of a few dozen characters; laying out a long
// first paragraph for it would make painting slow.
constexpr int MaxShownCaption = 300;

// The close picture's 16-pixel image at the screen's pixel ratio; the row
// shows it without its outermost pixels.
QPixmap closePicture(qreal ratio)
{
    const QString key = QStringLiteral("qel-note-close-%1").arg(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QIcon(QStringLiteral(":/board/icons/close.svg")).pixmap(QSize(16, 16), ratio);
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

} // namespace

// This library's resources are only reachable by name, so they are
// registered explicitly.
static void registerBoardResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(boardimages);
        return true;
    }();
    Q_UNUSED(done);
}

NotesView::NotesView(NotesModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    registerBoardResources();
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setMouseTracking(true);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &NotesView::showAllRows);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this] { update(); });
    showAllRows();
}

void NotesView::showAllRows()
{
    QList<int> rows(m_model.rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    setShownRows(std::move(rows));
    if (m_model.rowOf(m_highlighted) < 0)
        m_highlighted = nullptr;
    if (m_model.rowOf(m_pressed) < 0)
        m_pressed = nullptr;
}

void NotesView::setShownRows(QList<int> rows)
{
    m_shown = std::move(rows);
    update();
}

TNoteFrame *NotesView::shownNote(int shown) const
{
    // Every note on the board is a frame the board made.
    return static_cast<TNoteFrame *>(m_model.note(m_shown.at(shown)));
}

int NotesView::shownIndexOf(const NoteItem *note) const
{
    const int row = m_model.rowOf(note);
    const auto found = std::lower_bound(m_shown.begin(), m_shown.end(), row);
    return row >= 0 && found != m_shown.end() && *found == row ? int(found - m_shown.begin()) : -1;
}

QRect NotesView::closeRect(const QRect &row)
{
    // At the right margin, centred in the row's height.
    return {row.right() + 1 - RightMargin - CloseSize, row.top() + (RowHeight - CloseSize) / 2,
            CloseSize, CloseSize};
}

void NotesView::setHighlighted(TNoteFrame *note)
{
    if (note == m_highlighted)
        return;
    m_highlighted = note;
    update();
}

bool NotesView::takeKey(const QKeyEvent *event, int pageRows)
{
    if (m_shown.isEmpty() || event->modifiers() & ~Qt::KeypadModifier)
        return false;
    const int current = shownIndexOf(m_highlighted);
    const int last = shownCount() - 1;
    int target = current;
    switch (event->key()) {
    case Qt::Key_Down:
        target = std::min(current + 1, last);
        break;
    case Qt::Key_Up:
        target = std::max(current - 1, 0);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = last;
        break;
    case Qt::Key_PageDown:
        target = std::min(std::max(current, 0) + pageRows, last);
        break;
    case Qt::Key_PageUp:
        target = std::max(current - pageRows, 0);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_highlighted)
            m_highlighted->Panel1DblClick();
        return true;
    case Qt::Key_Delete:
        if (m_highlighted)
            m_highlighted->imCloseClick();
        return true;
    default:
        return false;
    }
    setHighlighted(shownNote(target));
    return true;
}

int NotesView::shownAt(int y) const
{
    return y >= 0 && y < rowsHeight() ? y / RowHeight : -1;
}

void NotesView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPixmap picture = closePicture(devicePixelRatioF());
    const qreal ratio = picture.devicePixelRatio();
    const QRectF pictureSource(ratio, ratio, CloseSize * ratio, CloseSize * ratio);
    // Only the rows in the exposed part: a board may hold thousands.
    const int first = std::max(0, event->rect().top() / RowHeight);
    const int last = std::min(shownCount() - 1, event->rect().bottom() / RowHeight);
    for (int shown = first; shown <= last; ++shown) {
        const QModelIndex index = m_model.index(m_shown.at(shown));
        const QRect row = rowRect(shown);
        const bool highlighted = m_model.note(index.row()) == m_highlighted;
        const QColor background
            = highlighted ? Highlight : index.data(Qt::BackgroundRole).value<QColor>();
        painter.fillRect(row, background);
        // Black on the usual pale notes; white on a dark one, whatever the desktop's palette.
        painter.setPen(readableTextColor(background));
        // The caption runs from the left margin up to the close picture, cut off there.
        const QRect close = closeRect(row);
        const QRect caption(LeftMargin, row.top(), std::max(0, close.left() - Spacing - LeftMargin),
                            RowHeight);
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
                         index.data().toString().left(MaxShownCaption));
        painter.drawPixmap(QRectF(close), picture, pictureSource);
    }
}

void NotesView::hover(int shown, const QPoint &position, const QPoint &globalPos)
{
    const QPoint inRow(position.x(), position.y() - rowRect(shown).top());
    if (inRow == m_lastRowPosition)
        return;
    m_lastRowPosition = inRow;
    shownNote(shown)->Panel1MouseMove(globalPos, width());
}

void NotesView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int shown = shownAt(point.y());
    if (shown < 0)
        return;
    // The close picture takes its presses; the rest of the row hides the preview.
    m_pressOnClose = closeRect(rowRect(shown)).contains(point);
    if (m_pressOnClose)
        return;
    shownNote(shown)->Panel1MouseDown();
    if (event->button() == Qt::LeftButton) {
        m_pressed = shownNote(shown);
        m_pressPoint = point;
    }
}

void NotesView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    // A row pulled up or down with the button held moves to where it is let go.
    if (m_pressed && (event->buttons() & Qt::LeftButton)
        && std::abs(point.y() - m_pressPoint.y()) >= QApplication::startDragDistance())
        m_dragging = true;
    const int shown = shownAt(point.y());
    if (shown >= 0 && rect().contains(point))
        hover(shown, point, event->globalPosition().toPoint());
}

void NotesView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    TNoteFrame *pressed = std::exchange(m_pressed, nullptr);
    if (std::exchange(m_dragging, false)) {
        if (pressed)
            drop(*pressed, point.y());
        return;
    }
    const int shown = rect().contains(point) ? shownAt(point.y()) : -1;
    if (shown < 0) {
        m_pressOnClose = m_doubleClicked = false;
        return;
    }
    TNoteFrame *note = shownNote(shown);
    if (std::exchange(m_pressOnClose, false)) {
        if (left && closeRect(rowRect(shown)).contains(point))
            note->imCloseClick();
        return;
    }
    if (!std::exchange(m_doubleClicked, false) && left && note == pressed)
        note->Panel1Click();
}

void NotesView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int shown = shownAt(point.y());
    if (shown < 0)
        return;
    m_pressOnClose = closeRect(rowRect(shown)).contains(point);
    if (event->button() == Qt::LeftButton && !m_pressOnClose) {
        m_doubleClicked = true;
        shownNote(shown)->Panel1DblClick();
    }
}

void NotesView::drop(TNoteFrame &note, int y)
{
    if (m_shown.isEmpty())
        return;
    const int from = m_model.rowOf(&note);
    const int target = std::clamp(y < 0 ? 0 : y / RowHeight, 0, shownCount() - 1);
    if (from < 0)
        return;
    m_model.moveNote(from, m_shown.at(target));
    // The moved row lies under the pointer now.
    setHighlighted(&note);
}

bool NotesView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int shown = shownAt(help->pos().y());
    const QString hint = shown < 0 ? QString() : shownNote(shown)->headerHint();
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), hint, this, rowRect(shown));
    return true;
}
