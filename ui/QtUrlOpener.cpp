#include "QtUrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace veltran {

void QtUrlOpener::OpenUrl(std::string_view address)
{
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size()))));
}

} // namespace veltran
