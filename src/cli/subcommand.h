#pragma once

#include <QStringList>

// One subcommand of the command-line tool qelnote.
struct Subcommand
{
    const char *name;
    const char *arguments; // as the usage text shows them
    const char *summary;
    // Runs with the arguments after the subcommand's name; the exit status,
    // or BadArguments to have the usage printed.
    int (*run)(const QStringList &arguments);
    // Works on text alone: runs without the GUI library, whose fonts take longer to set up
    // than most notes take to read.
    bool textOnly = false;

    static constexpr int BadArguments = -1;
};
