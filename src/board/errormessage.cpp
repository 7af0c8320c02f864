#include "board/errormessage.h"

#include <QMessageBox>

namespace {
std::function<void(const QString &)> &testHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}
} // namespace

void ShowErrorMessage(QWidget *parent, const QString &text)
{
    if (testHandler())
        testHandler()(text);
    else
        QMessageBox::critical(parent, QStringLiteral("QelNotes"), text);
}

void setErrorMessageHandlerForTesting(std::function<void(const QString &)> handler)
{
    testHandler() = std::move(handler);
}
