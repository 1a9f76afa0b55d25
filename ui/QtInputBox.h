#pragma once

#include "InputBox.h"

namespace veltran {

/// The input box on QInputDialog, owned by the active window.
class QtInputBox : public InputBox
{
public:
    std::string Ask(std::string_view prompt, std::string_view title, std::string_view defaultAnswer) override;
};

} // namespace veltran
