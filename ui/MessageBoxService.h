#pragma once

#include <QString>

class QWidget;

namespace veltran {

/// The system message box with the program's own button texts.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;

    /// Shows a modal box and returns the id of the pressed button (kIdOk ... kIdNo). `labels` holds the
    /// button texts separated by "," (see PlanButtons); `style` combines a button set, an icon and a
    /// default button (kMb... values). A blank caption becomes the program file's name. A null owner
    /// shows a box without owner.
    virtual int ShowMessageBox(const QString& text, const QString& labels, const QString& caption, unsigned style,
                               QWidget* owner) = 0;
};

} // namespace veltran
