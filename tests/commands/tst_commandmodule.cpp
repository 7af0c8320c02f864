#include "commands/commandmodule.h"
#include "commands/imagelist.h"
#include "richedit/jvrichedit.h"
#include "richtext/textcontrast.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

bool hasInk(const QIcon &icon)
{
    const QImage image = icon.pixmap(ImageList::Size, ImageList::Size).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

} // namespace

class tst_DM : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyPictureIsDrawnWithoutATheme();
    void picturesReadOnLightAndDarkBars_data();
    void picturesReadOnLightAndDarkBars();
    void hintSplitsIntoToolTipAndStatusTip();
    void editCommandsFollowTheFocusedNoteEditor();
    void editCommandsActOnTheFocusedNoteEditorOnly();
    void commandsNotBuiltYetAreDisabled();

private:
    TDM *m_dm = nullptr;
    QWidget m_window;
    TJvRichEdit *m_editor = nullptr;
    QLineEdit *m_line = nullptr;
};

void tst_DM::initTestCase()
{
    m_dm = new TDM(qApp);
    QCOMPARE(TDM::instance(), m_dm);
    auto *layout = new QVBoxLayout(&m_window);
    m_editor = new TJvRichEdit(&m_window);
    m_line = new QLineEdit(&m_window);
    layout->addWidget(m_editor);
    layout->addWidget(m_line);
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    QVERIFY(QTest::qWaitForWindowActive(&m_window));
}

void tst_DM::everyPictureIsDrawnWithoutATheme()
{
    // The board's own entries use these too: Open, Close, About.
    QList<int> indexes{7, 60, 61, 70};
    for (QAction *action : m_dm->actions()) {
        if (!action->icon().isNull())
            QVERIFY2(hasInk(action->icon()), qPrintable(action->objectName()));
    }
    for (int index = 0; index < ImageList::Count; ++index) {
        if (!ImageList::icon(index).isNull())
            indexes.append(index);
    }
    QVERIFY(indexes.size() > 40);
    for (int index : std::as_const(indexes))
        QVERIFY2(hasInk(ImageList::icon(index)), qPrintable(QString::number(index)));
    QVERIFY(ImageList::icon(4).isNull());
}

void tst_DM::picturesReadOnLightAndDarkBars_data()
{
    QTest::addColumn<QPalette>("theme");
    QTest::newRow("light") << QPalette(QColor(239, 239, 239));
    QTest::newRow("dark") << QPalette(QColor(53, 53, 53));
}

void tst_DM::picturesReadOnLightAndDarkBars()
{
    QFETCH(QPalette, theme);
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(theme);
    const QColor bar = theme.color(QPalette::Window);
    for (int index = 0; index < ImageList::Count; ++index) {
        const QIcon icon = ImageList::icon(index);
        if (icon.isNull())
            continue;
        // Enough of the picture stands out from the bar to make out its shape.
        const QImage image = icon.pixmap(ImageList::Size, ImageList::Size).toImage();
        int standingOut = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() < 128)
                    continue;
                QColor shown = pixel;
                shown.setAlpha(255);
                standingOut += contrastRatio(shown, bar) >= 3;
            }
        }
        QVERIFY2(standingOut >= 16,
                 qPrintable(QStringLiteral("%1: %2 pixels").arg(index).arg(standingOut)));
    }
    QApplication::setPalette(saved);
}

void tst_DM::hintSplitsIntoToolTipAndStatusTip()
{
    QCOMPARE(m_dm->action(CommandId::EditCut2)->toolTip(), QStringLiteral("Cut"));
    QCOMPARE(m_dm->action(CommandId::EditCut2)->statusTip(),
             QStringLiteral("Cuts the selection and puts it on the Clipboard"));
    QCOMPARE(m_dm->action(CommandId::acCrypt)->toolTip(), QStringLiteral("Crypt Selection"));
    QCOMPARE(m_dm->action(CommandId::JvEditPaste1)->toolTip(), QString::fromUtf8("Einfügen"));
}

void tst_DM::editCommandsFollowTheFocusedNoteEditor()
{
    m_editor->setText(QStringLiteral("some text"));
    m_editor->setFocus();
    QCOMPARE(TDM::focusedEditor(), m_editor);
    QVERIFY(!m_dm->action(CommandId::JvEditCut2)->isEnabled());
    QVERIFY(!m_dm->action(CommandId::JvEditDelete1)->isEnabled());

    m_editor->setSelStart(0);
    m_editor->setSelLength(4);
    for (QAction *action :
         {m_dm->action(CommandId::EditCut2), m_dm->action(CommandId::JvEditCut2),
          m_dm->action(CommandId::EditCopy2), m_dm->action(CommandId::JvEditCopy1),
          m_dm->action(CommandId::EditDelete1), m_dm->action(CommandId::JvEditDelete1)})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));

    m_editor->setReadOnly(true);
    m_line->setFocus();
    m_editor->setFocus();
    QVERIFY(!m_dm->action(CommandId::JvEditCut2)->isEnabled());
    QVERIFY(m_dm->action(CommandId::JvEditCopy1)->isEnabled());
    m_editor->setReadOnly(false);

    m_line->setFocus();
    QCOMPARE(TDM::focusedEditor(), nullptr);
    QVERIFY(!m_dm->action(CommandId::JvEditCopy1)->isEnabled());
    QVERIFY(!m_dm->action(CommandId::JvEditSelectAll1)->isEnabled());
    QVERIFY(m_dm->action(CommandId::EditPaste2)->isEnabled());
}

void tst_DM::editCommandsActOnTheFocusedNoteEditorOnly()
{
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    m_line->setText(QStringLiteral("line"));
    m_line->setFocus();
    m_dm->action(CommandId::EditPaste2)->trigger();
    QCOMPARE(m_line->text(), QStringLiteral("line"));

    m_editor->setText(QStringLiteral("one two"));
    m_editor->setFocus();
    m_editor->setSelStart(3);
    m_editor->setSelLength(4);
    m_dm->action(CommandId::JvEditDelete1)->trigger();
    QCOMPARE(m_editor->Text(), QStringLiteral("one"));
    m_dm->action(CommandId::EditPaste2)->trigger();
    QCOMPARE(m_editor->Text(), QStringLiteral("onepasted"));
    QVERIFY(m_dm->action(CommandId::JvEditUndo1)->isEnabled());
    QVERIFY(!m_dm->action(CommandId::EditRedo1)->isEnabled());
    m_dm->action(CommandId::JvEditUndo1)->trigger();
    QCOMPARE(m_editor->Text(), QStringLiteral("one"));
    QVERIFY(m_dm->action(CommandId::EditRedo1)->isEnabled());
    m_dm->action(CommandId::EditRedo1)->trigger();
    QCOMPARE(m_editor->Text(), QStringLiteral("onepasted"));
    QVERIFY(!m_dm->action(CommandId::EditRedo1)->isEnabled());
    m_dm->action(CommandId::JvEditUndo1)->trigger();
    m_dm->action(CommandId::EditSelectAll1)->trigger();
    QCOMPARE(m_editor->SelLength(), 3);
}

void tst_DM::commandsNotBuiltYetAreDisabled()
{
    m_editor->setFocus();
    for (QAction *action : {m_dm->action(CommandId::acNew), m_dm->action(CommandId::acCalc),
                            m_dm->action(CommandId::acSendMail)})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(m_dm->action(CommandId::RichEditBold1)->isCheckable());
    QVERIFY(!m_dm->action(CommandId::acTable)->isVisible());
}

QTEST_MAIN(tst_DM)
#include "tst_commandmodule.moc"
