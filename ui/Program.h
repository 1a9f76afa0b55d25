#pragma once

#include "PlatformServices.h"
#include "RuleTable.h"
#include "WindowFolders.h"

#include <memory>

namespace veltran {

class frmMain;

/// The program's start and the data that lives as long as it runs: the rule table and the main window.
class Program
{
public:
    /// The services must outlive the program.
    Program(const PlatformServices& services, const WindowFolders& folders);
    ~Program();

    /// The start routine: on the first start (no "FirstRunMe", or 0) the about box without owner,
    /// then "FirstRunMe" = "1"; then the main window is made and shown. Returns the main window.
    frmMain& Start();

    RuleTable& Rules() { return m_rules; }

private:
    PlatformServices m_services;
    WindowFolders m_folders;
    RuleTable m_rules;
    std::unique_ptr<frmMain> m_main;
};

} // namespace veltran
