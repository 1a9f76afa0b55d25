#pragma once

#include "DisplayText.h"

#include <QRect>
#include <QWidget>

#include <filesystem>

namespace veltran {

/// A read-only window that shows a text: a file with its path and encoding in the title, and in the
/// status line how many byte sequences could not be decoded; or a text the program made. Escape closes
/// it, and the keyboard moves through the text. It deletes itself when closed.
class TextViewerWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize kPreferredSize{760, 560};

    /// `undecodable`: how many byte sequences of the text's file were shown as U+FFFD.
    TextViewerWindow(const QString& title, const QString& text, std::size_t undecodable);

    /// Where the window goes on a screen whose free area (without panels) is `available`: centred, at
    /// its preferred size or smaller, so that with its frame it stays on a small screen.
    static QRect PlaceWithin(const QRect& available);

    /// "<file> - <encoding>"; the file name's bytes decoded as the desktop does.
    static QString Title(const std::filesystem::path& file, EncodingId encoding);
    /// "无法解码的字节已显示为 �：N 处", or empty when every byte decoded.
    static QString StatusText(std::size_t undecodable);
};

} // namespace veltran
