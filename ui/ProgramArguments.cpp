#include "ProgramArguments.h"

#include <QFile>

namespace veltran {

ProgramArguments ParseProgramArguments(const QStringList& arguments)
{
    ProgramArguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-') || argument == QStringLiteral("-")) {
            parsed.paths.emplace_back(QFile::encodeName(argument).toStdString());
        } else if (argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (argument == QStringLiteral("-h") || argument == QStringLiteral("--help")) {
            parsed.help = true;
        } else if (argument == QStringLiteral("--version")) {
            parsed.version = true;
        } else if (argument == QStringLiteral("--screenshot") && i + 1 < arguments.size()) {
            parsed.screenshotFolder = arguments[++i];
        } else if (parsed.error.isEmpty()) {
            parsed.error = QStringLiteral("unknown option \"%1\"").arg(argument);
        }
    }
    return parsed;
}

QString ProgramUsage()
{
    return QStringLiteral("Usage: veltran [FILE|FOLDER]...\n"
                          "\n"
                          "Opens the Veltran window, which converts text files in place between GB (code page 936),\n"
                          "BIG5 (code page 950) and UTF-8. Files given are added to its list; a folder adds its files\n"
                          "matching *.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt, found at every depth.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this text\n"
                          "  --version      show the version\n"
                          "\n"
                          "veltran-cli does the same job without a window.\n");
}

} // namespace veltran
