#pragma once

// The subcommands of qelnote in the order its usage lists them. Each entry
// NAME is a `const Subcommand NAMECommand` defined in its own file of this
// folder; adding a subcommand is adding its line here.
#define QEL_SUBCOMMANDS(X)                                                                         \
    X(text)                                                                                        \
    X(rtf)                                                                                         \
    X(calc)                                                                                        \
    X(encrypt)                                                                                     \
    X(decrypt)                                                                                     \
    X(search)                                                                                      \
    X(export)
