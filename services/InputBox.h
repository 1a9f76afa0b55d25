#pragma once

#include <string>
#include <string_view>

namespace veltran {

/// The standard input box: a modal box with a prompt, an editable default answer, OK and Cancel.
class InputBox
{
public:
    virtual ~InputBox() = default;

    /// Returns the answer as typed (UTF-8); Cancel gives an empty text, like OK on an empty answer.
    /// The prompt may hold CR LF line breaks.
    virtual std::string Ask(std::string_view prompt, std::string_view title, std::string_view defaultAnswer) = 0;
};

} // namespace veltran
