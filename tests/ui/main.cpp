#include "TestRunners.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    // The tests never touch the user's own settings or folders, and need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());

    QApplication app(argc, argv);
    int failed = 0;
    for (auto* run : {RunMessageBoxTests, RunLayoutRuleTests, RunStartUpTests, RunMainWindowTests, RunQtServiceTests})
        failed += run(argc, argv) != 0 ? 1 : 0;
    return failed;
}
