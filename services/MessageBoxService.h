#pragma once

#include <string>

namespace veltran {

/// The buttons of a box, left to right.
enum class MessageButtons
{
    Ok,
    OkCancel,
    AbortRetryIgnore,
    YesNoCancel,
    YesNo,
    RetryCancel,
};

enum class MessageIcon
{
    None,
    Error,
    Question,
    Warning,
    Information,
};

/// Which button has the focus when the box opens.
enum class DefaultButton
{
    First,
    Second,
    Third,
};

/// The button that closed the box. Escape and the close box give Cancel where the box has one, and
/// Ok for a lone OK button; None when the box was closed otherwise.
enum class MessageResult
{
    None = 0,
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
};

/// One message box. Texts are UTF-8; the text may hold CR LF line breaks.
struct MessageRequest
{
    std::string text;
    std::string caption; // blank: the program file's name
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    DefaultButton defaultButton = DefaultButton::First;
    /// The program's own button captions separated by "," (the full-width "，" does not separate);
    /// empty keeps the desktop's captions. Which button takes which label: PlanButtons.
    std::string labels;
    /// Owned by the program's main window (modal to it); false shows a box without owner.
    bool owned = true;
};

/// A box with the desktop's own button captions, owned by the main window.
inline MessageRequest StandardMessage(std::string text, std::string caption, MessageIcon icon,
                                      MessageButtons buttons = MessageButtons::Ok,
                                      DefaultButton defaultButton = DefaultButton::First)
{
    MessageRequest request;
    request.text = std::move(text);
    request.caption = std::move(caption);
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return request;
}

/// The desktop's modal message box.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;

    /// Shows the box and returns when it is closed, with the button that closed it.
    virtual MessageResult ShowMessageBox(const MessageRequest& request) = 0;
};

} // namespace veltran
