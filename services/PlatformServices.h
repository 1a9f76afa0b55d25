#pragma once

#include "FileDialogs.h"
#include "InputBox.h"
#include "MessageBoxService.h"
#include "SettingsStore.h"
#include "TextViewer.h"
#include "UrlOpener.h"

namespace veltran {

/// Everything the windows take from the desktop, handed to them when they are made. The services
/// outlive the windows.
struct PlatformServices
{
    MessageBoxService& messageBox;
    SettingsStore& settings;
    UrlOpener& urlOpener;
    FileDialogs& fileDialogs;
    InputBox& inputBox;
    TextViewer& textViewer;
};

} // namespace veltran
