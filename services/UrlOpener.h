#pragma once

#include <string_view>

namespace veltran {

/// Opens a web address in the user's default browser.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;

    /// Hands the address to the desktop; whether a browser could be started is not reported.
    virtual void OpenUrl(std::string_view address) = 0;
};

} // namespace veltran
