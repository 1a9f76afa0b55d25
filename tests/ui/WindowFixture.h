#pragma once

#include "ModalWatchdog.h"
#include "RuleTable.h"
#include "ScriptedServices.h"
#include "frmMain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace veltran::test {

/// A fresh main window on scripted services, with its log and start folder in a temporary folder.
class WindowFixture
{
public:
    WindowFixture()
    {
        watchdog = std::make_unique<ModalWatchdog>();
        services = std::make_unique<ScriptedServices>();
        rules = std::make_unique<RuleTable>();
        window = std::make_unique<frmMain>(services->Services(), *rules, Folders());
    }

    WindowFolders Folders() const { return {(Folder() / "Veltran.log").string(), Folder().string()}; }
    std::filesystem::path Folder() const { return folder.path().toStdString(); }

    /// Does `start` (a click or command that may start a run or check) and, when a run started,
    /// handles the window's events until it has ended and been reported. False when it did not end.
    bool RunToEnd(const std::function<void()>& start)
    {
        QSignalSpy ended(window.get(), &frmMain::runFinished);
        start();
        return !window->Run().Running() || ended.wait(kRunTimeoutMs);
    }

    static constexpr int kRunTimeoutMs = 120000;

    /// Calls `check` every time the window handles its events until it returns false.
    void WhileHandlingEvents(const std::function<bool()>& check)
    {
        auto* timer = new QTimer(window.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [timer, check] {
            if (!check())
                timer->deleteLater();
        });
        timer->start();
    }

    QTemporaryDir folder;
    std::unique_ptr<ModalWatchdog> watchdog;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<RuleTable> rules;
    std::unique_ptr<frmMain> window;
};

} // namespace veltran::test
