#pragma once

#include "TextViewer.h"

class QWidget;

namespace veltran {

/// Shows text files in the program's own read-only window (TextViewerWindow), so that a web page is
/// shown as text and never handed to a browser or started through a shell.
class QtTextViewer : public TextViewer
{
public:
    /// Files larger than this are refused rather than loaded into a window.
    static constexpr std::uintmax_t kLargestFile = 64u << 20;

    Status ShowFile(const std::filesystem::path& file, EncodingId encoding) override;
    void ShowText(const std::string& title, const std::string& text) override;

private:
    static void Show(QWidget* window);
};

} // namespace veltran
