#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's error message box: errors that end a user action are shown
// here. Tests put a handler of their own in its place.
void ShowErrorMessage(QWidget *parent, const QString &text);

// Replaces the message box by handler; an empty handler restores it.
void setErrorMessageHandlerForTesting(std::function<void(const QString &)> handler);
