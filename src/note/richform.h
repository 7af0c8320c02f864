#pragma once

#include <QWidget>

class NoteHost;
class TNoteFrame;

// The note window: an ordinary window with a title bar in which a note is read
// and edited. It holds a note frame of its own (nf) with the editor and the
// tool bar and without the header; the board's frame fills it and takes the
// note back when it closes. The window has no parent window; the frame that
// opened it deletes it, and a closed window is never shown again.
//
// It stays above other windows exactly while the board's stay-on-top option
// is on, and accepts drops outside its editor without taking anything.
class TRichForm : public QWidget
{
    Q_OBJECT

public:
    explicit TRichForm(NoteHost *host);

    TNoteFrame *nf = nullptr;
    // Copied from the board's option when the window is opened.
    bool StayOnTop = false;

Q_SIGNALS:
    // The window is closing; its note is still in nf.
    void closing();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormShow();
    void FormDeactivate();
    // Into or out of the band of windows above all others, without moving,
    // resizing or activating the window.
    void setTopmost(bool topmost);

    NoteHost *m_host;
    bool m_deactivationHandler = false;
};
