#pragma once

#include "TextViewer.h"
#include "UrlOpener.h"

namespace veltran {

/// Web addresses and text files handed to the desktop's own programs.
class QtDesktop : public UrlOpener, public TextViewer
{
public:
    void OpenUrl(const QString& address) override;

    /// Starts the first installed plain-text editor of a short list of common ones, and otherwise
    /// whatever the desktop opens the file with.
    std::string ShowFile(const std::filesystem::path& file) override;
};

} // namespace veltran
