#include "PathsWarning.h"

#include <QFile>

namespace veltran {

namespace {

constexpr std::size_t kPathsNamed = 5;

} // namespace

MessageRequest PathsWarning(const std::string& heading, const std::vector<std::filesystem::path>& paths,
                            const std::string& caption, const std::vector<std::string>& reasons)
{
    std::string text = heading;
    for (std::size_t i = 0; i < paths.size() && i < kPathsNamed; ++i) {
        text += "\r\n" + QFile::decodeName(paths[i].c_str()).toStdString();
        if (i < reasons.size())
            text += "：" + reasons[i];
    }
    if (paths.size() > kPathsNamed)
        text += "\r\n...";
    return StandardMessage(text, caption, MessageIcon::Warning);
}

} // namespace veltran
