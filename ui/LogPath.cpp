#include "LogPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veltran {

QString LogPathIn(const QString& folder)
{
    const QString name = QString::fromLatin1(kLogFileName);
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString ChooseLogPath(const QString& programFolder, bool programFolderWritable, const QString& userDataFolder)
{
    return LogPathIn(programFolderWritable || userDataFolder.isEmpty() ? programFolder : userDataFolder);
}

QString ProgramLogPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programFolder);
    const bool writable = folder.isDir() && folder.isWritable();
    QString userFolder;
    if (!writable) {
        userFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(userFolder);
    }
    return ChooseLogPath(programFolder, writable, userFolder);
}

} // namespace veltran
