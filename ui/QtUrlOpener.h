#pragma once

#include "UrlOpener.h"

namespace veltran {

/// Web addresses handed to the desktop's default browser.
class QtUrlOpener : public UrlOpener
{
public:
    void OpenUrl(std::string_view address) override;
};

} // namespace veltran
