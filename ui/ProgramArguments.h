#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace veltran {

/// What `veltran` was started with.
struct ProgramArguments
{
    bool help = false;
    bool version = false;
    QString screenshotFolder;                 // --screenshot FOLDER: render the windows there and quit
    std::vector<std::filesystem::path> paths; // files and folders to add to the list
    QString error;                            // an option that is not known; empty when all are
};

/// Reads the arguments after the program name: -h/--help, --version, --screenshot FOLDER, and paths
/// ("--" ends the options; "-" alone is a path). Paths keep the bytes the system gave.
ProgramArguments ParseProgramArguments(const QStringList& arguments);

/// The --help text, ending with a line break.
QString ProgramUsage();

} // namespace veltran
