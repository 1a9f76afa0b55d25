#include "Program.h"

#include "AboutBox.h"
#include "SettingsStore.h"
#include "frmMain.h"

namespace veltran {

Program::Program(const PlatformServices& services, const WindowFolders& folders)
    : m_services(services), m_folders(folders)
{
}

Program::~Program() = default;

frmMain& Program::Start()
{
    if (ReadNumber(m_services.settings, kSettingsSection, kFirstRunKey, 0) == 0) {
        ShowAbout(m_services.messageBox, false);
        // Without a writable store the about box simply shows again next time.
        m_services.settings.Write(kSettingsSection, kFirstRunKey, "1");
    }

    // A fresh rule table already marks rule 1 as not made, and the byte-order mark is a constant,
    // so the window is all that is left to make.
    if (!m_main)
        m_main = std::make_unique<frmMain>(m_services, m_rules, m_folders);
    m_main->show();
    return *m_main;
}

} // namespace veltran
