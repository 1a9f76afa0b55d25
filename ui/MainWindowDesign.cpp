#include "MainWindowDesign.h"

#include "Product.h"

#include <stdexcept>
#include <string>

namespace veltran {

namespace {

using K = ControlKind;

// Name, kind, container, caption, {left, top, width, height}, enabled, checked, visible, tooltip.
const ControlDesign kControls[] = {
    {"lblFiles", K::Label, nullptr, u"温馨提示:文件列表(注意备份)：", {75, 135, 2610, 180}},
    {"lstFiles", K::ListBox, nullptr, nullptr, {84, 412, 6200, 4200}, true, false, true, u"双击或回车查看文件内容"},
    {"cmdStartConvert", K::Button, nullptr, u"开始处理(&S)", {6396, 412, 1400, 360}, false},
    {"cmdStopConvert", K::Button, nullptr, u"停止处理(&C)", {6396, 825, 1400, 360}, false},
    {"cmdAddFile", K::Button, nullptr, u"添加文件...", {6396, 1395, 1400, 360}},
    {"cmdAddDir", K::Button, nullptr, u"添加目录...", {6396, 1815, 1400, 360}},
    {"cmdRemoveFile", K::Button, nullptr, u"移除选择(&R)", {6396, 2385, 1400, 360}, false},
    {"cmdRemoveUnsel", K::Button, nullptr, u"反向移除(&U)", {6396, 2812, 1400, 360}, false},
    {"cmdRemoveAll", K::Button, nullptr, u"全部移除(&A)", {6396, 3225, 1400, 360}, false},
    {"cmdAbout", K::Button, nullptr, u"关    于...", {6396, 3825, 1400, 360}},
    {"cmdExit", K::Button, nullptr, u"退    出(&X)", {6396, 4252, 1400, 360}},
    {"chkBackup", K::CheckBox, nullptr, u"保留文件备份", {84, 5055, 1425, 360}, true, true},
    {"chkText", K::CheckBox, nullptr, u"替换内容...", {84, 5400, 1425, 360}},
    {"optFrmUTF8", K::OptionButton, "freFrmCode", u"UTF-8", {105, 255, 810, 390}},
    {"optFrmGb", K::OptionButton, "freFrmCode", u"GB", {982, 255, 600, 390}, true, true},
    {"optFrmBig5", K::OptionButton, "freFrmCode", u"BIG5", {1650, 255, 720, 390}},
    {"optUtf8", K::OptionButton, "freCode", u"UTF-8", {90, 255, 810, 390}, true, true},
    {"optGb", K::OptionButton, "freCode", u"GB", {975, 255, 600, 390}},
    {"optBig5", K::OptionButton, "freCode", u"BIG5", {1650, 255, 720, 390}},
    {"cmdConvertInfo", K::Panel, nullptr, nullptr, {1684, 2212, 3000, 600}, true, false, false},
    {"lblInfo", K::Label, "cmdConvertInfo", u"正在转换编码，请等待...", {660, 255, 2070, 180}},
    {"freCode", K::Frame, nullptr, u"转换后编码", {4305, 4995, 3465, 705}},
    {"freFrmCode", K::Frame, nullptr, u"原文件编码", {1649, 4995, 2500, 705}},
    {"Label1", K::LinkLabel, nullptr, nullptr, {3300, 135, 2970, 180}, true, false, true, u"推荐网站"},
    {"chkU8BOM", K::CheckBox, "freCode", u"带BOM", {2520, 308, 825, 285}, true, true},
};

} // namespace

std::span<const ControlDesign> MainWindowDesign()
{
    return kControls;
}

const ControlDesign& DesignOf(std::string_view name)
{
    for (const ControlDesign& design : kControls) {
        if (design.name == name)
            return design;
    }
    throw std::out_of_range("no control is designed with the name " + std::string(name));
}

QString LinkCaption()
{
    return QString::fromUtf16(kMakerName) + u' ' + QString::fromUtf16(kMakerHostCapitalised) +
           QStringLiteral(" 专业技术搜索站");
}

QString LinkTarget()
{
    return QStringLiteral("http://") + QString::fromUtf16(kMakerHost) + QStringLiteral("/?tool");
}

} // namespace veltran
