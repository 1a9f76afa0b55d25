#include "QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace veltran {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString QtPatterns(const QString& patterns)
{
    QStringList list = patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : list) {
        pattern = pattern.trimmed();
        // On Windows "*.*" matches every name, with or without a dot.
        if (pattern == QStringLiteral("*.*"))
            pattern = QStringLiteral("*");
    }
    return list.join(u' ');
}

} // namespace

QStringList QtNameFilters(std::string_view filter)
{
    QString text = FromUtf8(filter);
    if (text.trimmed().isEmpty())
        text = QStringLiteral("所有文件(*.*)|*.*");

    const QStringList parts = text.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QtPatterns(parts[i + 1]) + u')';
    return filters;
}

std::vector<std::filesystem::path>
QtFileDialogs::ShowFileDialog(std::string_view title, const std::filesystem::path& startFolder, std::string_view filter)
{
    QFileDialog dialog(QApplication::activeWindow(), FromUtf8(title), QFile::decodeName(startFolder.c_str()));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(QtNameFilters(filter));

    std::vector<std::filesystem::path> files;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& file : dialog.selectedFiles())
            files.emplace_back(QFile::encodeName(file).toStdString());
    }
    return files;
}

std::filesystem::path QtFileDialogs::SaveFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                                    std::string_view filter)
{
    QFileDialog dialog(QApplication::activeWindow(), FromUtf8(title), QFile::decodeName(startFolder.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(QtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::filesystem::path QtFileDialogs::BrowseForFolder(std::string_view title, const std::filesystem::path& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(), FromUtf8(title),
                                                             QFile::decodeName(startFolder.c_str()));
    if (folder.isEmpty())
        return {};
    std::string path = QFile::encodeName(folder).toStdString();
    if (path.back() != std::filesystem::path::preferred_separator)
        path += std::filesystem::path::preferred_separator;
    return path;
}

} // namespace veltran
