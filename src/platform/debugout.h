#pragma once

#include <QString>

// Hands text to the platform's debug output channel (category "qel.debug");
// nothing is shown to the user.
void DebugOut(const QString &text);
