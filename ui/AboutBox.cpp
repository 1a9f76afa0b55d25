#include "AboutBox.h"

#include "MessageBoxService.h"
#include "Product.h"

#include <QStringList>

namespace veltran {

namespace {

QString FromUtf16(const char16_t* text)
{
    return QString::fromUtf16(text);
}

} // namespace

QString ProductLineText(bool withVersion)
{
    return QString::fromStdU16String(ProductLine(withVersion));
}

QString AboutText()
{
    const QStringList lines = {
        ProductLineText(true),
        QString(),
        QStringLiteral("功    能：将 GB/BIG5/UTF-8 编码的文件相互批量转换，"),
        QString(16, u' ') + QStringLiteral("主要应用于网站编码方式的整体批量转换。"),
        QString(),
        QStringLiteral("软件版本：1.0"),
        QString(),
        QStringLiteral("主页：") + FromUtf16(kMakerHost),
        QString(),
        QStringLiteral("特别提醒：程序不保证文件绝对安全，使用前请备份！"),
        QString(),
        QStringLiteral("免费绿色软件，欢迎使用！"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString AboutTitle(bool hasOwner)
{
    return hasOwner ? QStringLiteral("关于...") : ProductLineText(false);
}

void ShowAbout(MessageBoxService& messageBox, bool owned)
{
    MessageRequest request;
    request.text = AboutText().toStdString();
    request.labels = "关  闭";
    request.caption = AboutTitle(owned).toStdString();
    request.buttons = MessageButtons::Ok;
    request.icon = MessageIcon::Information;
    request.owned = owned;
    messageBox.ShowMessageBox(request);
}

} // namespace veltran
