#include "commands/commanddialogs.h"

#include "commands/fontdialog.h"
#include "commands/masterpasswordprompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const QString RichTextFilter = QObject::tr("Rich Text File (*.rtf)");

// The note's own file type first; the extension is added when the user
// types a name without one.
QString askFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QStringList &filters)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

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
    return askFileName(parent, QFileDialog::AcceptOpen,
                       {RichTextFilter, QObject::tr("All Files (*)")});
}

QString CommandDialogs::saveFileName(QWidget *parent)
{
    return askFileName(parent, QFileDialog::AcceptSave, {RichTextFilter});
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
