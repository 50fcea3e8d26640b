#include "app/commandline.h"
#include "app/quorvelapp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help and --version answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int exitCode = 0;
    if (answerCommandLine(parseCommandLine(arguments), exitCode))
        return exitCode;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvel"));
    CQuorvelApp quorvel;
    if (!quorvel.initInstance(arguments))
        return quorvel.exitCode();
    return QApplication::exec();
}
