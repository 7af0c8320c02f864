#include "app/frmabout.h"

#include "app/appicon.h"
#include "platform/datafolder.h"
#include "qelversion.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TFrmAbout::TFrmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(tr("About QelNotes"));
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setPixmap(AppIconPixmap(64, devicePixelRatioF()));
    picture->setAlignment(Qt::AlignTop);

    auto *version = new QLabel(versionText(), this);
    QFont bold = version->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    version->setFont(bold);

    const QString folder = QDir::toNativeSeparators(DataFolder());
    auto *place = new QLabel(DataFolderIsWritable()
                                 ? tr("Notes are kept in %1").arg(folder)
                                 : tr("Notes cannot be kept: %1 is not writable.").arg(folder),
                             this);
    place->setTextInteractionFlags(Qt::TextSelectableByMouse);
    place->setWordWrap(true);

    auto *text = new QVBoxLayout;
    text->addWidget(version);
    text->addWidget(place);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

QString TFrmAbout::versionText()
{
    return tr("QelNotes Version %1").arg(QStringLiteral(QEL_VERSION));
}
