#include "app/commandline.h"

#include <cstdio>

namespace {

bool isSwitchName(const QString& name) {
    for (const char* known : {"p", "pt", "dde", "Embedding", "Automation"})
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QStringLiteral("--help")) {
            line.help = true;
            continue;
        }
        if (argument == QStringLiteral("--version")) {
            line.version = true;
            continue;
        }
        // A "/" begins a switch only when a switch name follows: "/home/..." is a path.
        const bool isSwitch =
            argument.size() > 1 &&
            (argument.startsWith(QLatin1Char('-')) ||
             (argument.startsWith(QLatin1Char('/')) && isSwitchName(argument.mid(1))));
        if (!isSwitch) {
            (line.file.isEmpty() ? line.file : line.moreFiles.emplace_back()) = argument;
            continue;
        }
        const QString name = argument.mid(1);
        if (name.compare(QStringLiteral("p"), Qt::CaseInsensitive) == 0) {
            line.print = true;
        } else if (name.compare(QStringLiteral("pt"), Qt::CaseInsensitive) == 0) {
            // "pt FILE PRINTER": the file may come first or be named elsewhere.
            line.print = true;
            if (i + 1 < arguments.size() && line.file.isEmpty())
                line.file = arguments.at(++i);
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("'%1' needs a file and a printer name").arg(argument);
                return line;
            }
            line.printer = arguments.at(++i);
        } else if (name.compare(QStringLiteral("Embedding"), Qt::CaseInsensitive) == 0 ||
                   name.compare(QStringLiteral("Automation"), Qt::CaseInsensitive) == 0) {
            line.splash = false;
        } else if (name.compare(QStringLiteral("dde"), Qt::CaseInsensitive) == 0) {
            // Shell requests have no counterpart here.
        } else {
            line.error = QStringLiteral("unknown option '%1'").arg(argument);
            return line;
        }
    }
    if (line.print && line.file.isEmpty())
        line.error = QStringLiteral("printing needs a texture document to print");
    else if (line.print && !line.moreFiles.isEmpty())
        line.error = QStringLiteral("only one texture document can be printed: '%1'")
                         .arg(line.moreFiles.constFirst());
    return line;
}

QString commandLineUsage() {
    return QStringLiteral(
        "Usage: quorvel [FILE.qvl] [-p FILE.qvl] [-pt FILE.qvl PRINTER] [-Embedding]\n"
        "\n"
        "Opens Quorvel, the procedural texture composer, with a new texture or FILE.qvl.\n"
        "Several documents may be named; a library LIB.qlb opens in the library panel.\n"
        "\n"
        "  -p FILE.qvl             print the texture on the default printer and quit\n"
        "  -pt FILE.qvl PRINTER    print the texture on PRINTER and quit\n"
        "  -Embedding, -Automation start without splash and start-up tip\n"
        "  --help                  show this help and quit\n"
        "  --version               show the version and quit\n"
        "\n"
        "Switches may also begin with '/'.\n");
}

bool answerCommandLine(const CommandLine& line, int& exitCode) {
    exitCode = 0;
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "quorvel: error: %s\n%s", qPrintable(line.error),
                     qPrintable(commandLineUsage()));
        exitCode = 2;
        return true;
    }
    if (line.help) {
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return true;
    }
    if (line.version) {
        std::printf("quorvel %s\n", QUORVEL_VERSION);
        return true;
    }
    return false;
}
