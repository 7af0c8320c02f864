#include "board/errormessage.h"

#include <QMessageBox>

#include "platform/debugout.h"

namespace {
std::function<void(const QString &)> &testHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}
} // namespace

void ShowErrorMessage(QWidget *parent, const QString &text)
{
    // What the user was told stays in the debug output, where a box does not.
    DebugOut(QStringLiteral("Told: ") + QString(text).replace(u'\n', u' '));
    if (testHandler())
        testHandler()(text);
    else
        QMessageBox::critical(parent, QStringLiteral("QelNotes"), text);
}

void setErrorMessageHandlerForTesting(std::function<void(const QString &)> handler)
{
    testHandler() = std::move(handler);
}
