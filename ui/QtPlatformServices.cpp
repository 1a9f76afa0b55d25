#include "QtPlatformServices.h"

namespace veltran {

QtPlatformServices::QtPlatformServices(MessageBoxService* messageBox)
    : m_messageBox(messageBox ? *messageBox : m_qtMessageBox)
{
}

PlatformServices QtPlatformServices::Services()
{
    return {m_messageBox, m_settings, m_urlOpener, m_fileDialogs, m_inputBox, m_textViewer};
}

} // namespace veltran
