#include "commands/commanddialogs.h"

#include "commands/fontdialog.h"
#include "commands/masterpasswordprompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace {

// Asked for each time: a translation is installed after static initialisation.
QString richTextFilter()
{
    return QObject::tr("Rich Text File (*.rtf)");
}

} // namespace

// The note's own file type first; the extension is added when the user
// types a name without one. The dialog opens where the last one was left,
// the first time in the user's documents.
QString CommandDialogs::askFileName(QWidget *parent, bool saving, const QStringList &filters)
{
    if (m_folder.isEmpty()) {
        const QString documents
            = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        m_folder = QDir(documents).exists() ? documents : QDir::homePath();
    }
    QFileDialog dialog(parent, QString(), m_folder);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    m_folder = dialog.directory().absolutePath();
    return dialog.selectedFiles().constFirst();
}

std::optional<TextFont> CommandDialogs::chooseFont(QWidget *parent, const TextFont &initial)
{
    FontDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

std::optional<QColor> CommandDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString CommandDialogs::openFileName(QWidget *parent)
{
    // Plain text opens too, so other files may be picked.
    return askFileName(parent, false, {richTextFilter(), QObject::tr("All Files (*)")});
}

QString CommandDialogs::saveFileName(QWidget *parent)
{
    return askFileName(parent, true, {richTextFilter()});
}

bool CommandDialogs::setUpPrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void CommandDialogs::showError(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

std::optional<QString> CommandDialogs::askMasterPassword(QWidget *parent)
{
    return MasterPasswordPrompt::ask(parent);
}

void CommandDialogs::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
}
