#pragma once

#include <QString>
#include <QStringList>

// The program's command line. Switches begin with "/" or "-": "p" prints the named file to the
// default printer, "pt" to the printer named after it, "Embedding" and "Automation" start
// without splash and start-up tip, "dde" is accepted and ignored; "--help" and "--version"
// answer and end. Parameters that are no switch name texture documents to open, or libraries
// (.qlb) to show in the library panel.
struct CommandLine {
    QString file;
    QStringList moreFiles;  // further documents or libraries (.qlb), as a launcher passes them
    bool print = false;
    QString printer;  // for "pt"
    bool splash = true;
    bool help = false;
    bool version = false;
    QString error;  // a message for an unknown switch or a missing parameter
};

// `arguments` excludes the program name.
CommandLine parseCommandLine(const QStringList& arguments);

QString commandLineUsage();

// Answers --help, --version and a bad command line on the standard streams. Returns true when
// the program should end then, with `exitCode`.
bool answerCommandLine(const CommandLine& line, int& exitCode);
