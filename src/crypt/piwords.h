#pragma once

#include <QtGlobal>

#include <array>

// The first 1042 32-bit words of pi's hexadecimal fraction digits
// (243F6A88 85A308D3 ...): the cipher's reset tables are made of them.
extern const std::array<quint32, 1042> PiFractionWords;
