#include "app/commandline.h"
#include "app/consoledialogs.h"
#include "app/quorvelapp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help and --version answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int exitCode = 0;
    const CommandLine line = parseCommandLine(arguments);
    if (answerCommandLine(line, exitCode))
        return exitCode;
    // Printing from a command line opens no window, so it needs no display either.
    if (line.print && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvel"));
    // From a command line every failure goes to standard error, never to a box.
    CConsoleDialogs console;
    if (line.print)
        CUserDialogs::install(&console);
    CQuorvelApp quorvel;
    if (!quorvel.initInstance(arguments))
        return quorvel.exitCode();
    return QApplication::exec();
}
