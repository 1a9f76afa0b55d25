#include "TestRunners.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

namespace {

struct TestClass
{
    const char* name;
    int (*run)(int, char**);
};

const TestClass kClasses[] = {
    {"MessageBox", RunMessageBoxTests},
    {"LayoutRules", RunLayoutRuleTests},
    {"StartUp", RunStartUpTests},
    {"MainWindow", RunMainWindowTests},
    {"QtServices", RunQtServiceTests},
    {"ListCommands", RunListCommandTests},
    {"WindowRun", RunWindowRunTests},
    {"RuleEditor", RunRuleEditorTests},
    {"ConvertAsSource", RunConvertAsSourceTests},
};

} // namespace

// test_ui [CLASS] [QtTest arguments...]: one test class, or all of them without a class name.
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
    const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> arguments(argv, argv + argc);
    if (only)
        arguments.erase(arguments.begin() + 1);
    int failed = 0;
    bool found = false;
    for (const TestClass& testClass : kClasses) {
        if (only && std::strcmp(only, testClass.name) != 0)
            continue;
        found = true;
        failed += testClass.run(static_cast<int>(arguments.size()), arguments.data()) != 0 ? 1 : 0;
    }
    return found ? failed : 1;
}
