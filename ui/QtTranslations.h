#pragma once

#include <QLibraryInfo>
#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace veltran {

/// Installs Qt's own translations (its file and folder dialogs, standard buttons, the text boxes'
/// context menus) from `folder`, Qt's translations folder by default (Debian's qt6-translations-l10n),
/// for `locale`; where Qt has none for it, and for English, which Qt is written in, Simplified Chinese,
/// the language of the program's own texts. Returns the translator, owned by `app`, or null when
/// none could be loaded (Qt's texts then stay English). The program's own texts are not touched.
QTranslator* InstallQtTranslations(QCoreApplication& app, const QLocale& locale,
                                   const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace veltran
