#include "QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace veltran {

QTranslator* InstallQtTranslations(QCoreApplication& app, const QLocale& locale, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    // Qt's English catalogue holds plural forms only; English dialogs beside the program's Chinese
    // texts are what a person does not expect, so English counts as having no translation.
    const bool english = locale.language() == QLocale::English || locale.language() == QLocale::C;
    const bool loaded = (!english && translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder)) ||
                        translator->load(QStringLiteral("qt_zh_CN"), folder);
    if (!loaded) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace veltran
