#pragma once

namespace veltran {

class FileDialogs;
class InputBox;
class MessageBoxService;
class SettingsStore;
class TextViewer;
class UrlOpener;

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
