#pragma once

#include <QString>

namespace veltran {

/// The run log's file name.
inline constexpr char kLogFileName[] = "Veltran.log";

/// `folder` and "Veltran.log" with exactly one "/" between them: a folder that already ends in "/"
/// (the root, "//server/") gets none added; leading separators are kept.
QString LogPathIn(const QString& folder);

/// The run log's path: in the program's folder when that folder can be written, otherwise in the
/// per-user data folder, so that an installed program can still leave its log.
QString ChooseLogPath(const QString& programFolder, bool programFolderWritable, const QString& userDataFolder);

/// ChooseLogPath for the running program: its executable's folder, or the user's application data
/// folder (made when missing).
QString ProgramLogPath();

} // namespace veltran
