#pragma once

#include "PlatformServices.h"
#include "QtFileDialogs.h"
#include "QtInputBox.h"
#include "QtMessageBox.h"
#include "QtSettingsStore.h"
#include "QtTextViewer.h"
#include "QtUrlOpener.h"

namespace veltran {

/// The desktop's own services, on Qt, for the real program.
class QtPlatformServices
{
public:
    /// The services with `messageBox` in place of the Qt box when it is given (it must outlive this).
    explicit QtPlatformServices(MessageBoxService* messageBox = nullptr);

    PlatformServices Services();

private:
    QtMessageBox m_qtMessageBox;
    MessageBoxService& m_messageBox;
    QtSettingsStore m_settings;
    QtUrlOpener m_urlOpener;
    QtTextViewer m_textViewer;
    QtFileDialogs m_fileDialogs;
    QtInputBox m_inputBox;
};

} // namespace veltran
