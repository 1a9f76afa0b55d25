#pragma once

#include "MessageBoxService.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace veltran {

/// The message box on QMessageBox. The buttons stand in the button set's order on every desktop,
/// whatever the desktop's usual button order. An owned box is modal to the active window.
class QtMessageBox : public MessageBoxService
{
public:
    MessageResult ShowMessageBox(const MessageRequest& request) override;

    /// The box ShowMessageBox would show, not yet shown, with `owner` as its parent (may be null).
    /// Each button carries its result (see ResultOf).
    static std::unique_ptr<QMessageBox> Build(const MessageRequest& request, QWidget* owner);

    /// The result of the button that closed the box (Escape and the close box count as the escape
    /// button); None when none did.
    static MessageResult ResultOf(const QMessageBox& box);
};

} // namespace veltran
