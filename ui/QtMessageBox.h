#pragma once

#include "MessageBoxService.h"

#include <memory>

class QMessageBox;

namespace veltran {

/// The message box on QMessageBox. The buttons stand in the button set's order on every desktop,
/// whatever the desktop's usual button order.
class QtMessageBox : public MessageBoxService
{
public:
    int ShowMessageBox(const QString& text, const QString& labels, const QString& caption, unsigned style,
                       QWidget* owner) override;

    /// The box ShowMessageBox would show, not yet shown. Each button carries its id (see ResultOf).
    static std::unique_ptr<QMessageBox> Build(const QString& text, const QString& labels, const QString& caption,
                                              unsigned style, QWidget* owner);

    /// The id of the button that closed the box (Escape and the close box count as the escape
    /// button); 0 when none did.
    static int ResultOf(const QMessageBox& box);
};

} // namespace veltran
