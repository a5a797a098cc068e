#include "ui/QtTranslations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/Catalogue.h"
#include "app/TextCatalogue.h"

namespace nkq::ui {

namespace {

std::unique_ptr<QTranslator> Load(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QtTranslationsFolder()))
        return nullptr;
    return translator;
}

}  // namespace

std::string QtTextLanguage(const std::filesystem::path& locale_folder,
                           const std::string& catalogue_language) {
    if (!locale_folder.empty() && FindCatalogueFile(locale_folder, catalogue_language, "default"))
        return catalogue_language;
    return kWindowLanguage;
}

QString QtTranslationsFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral(":/qt/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

std::unique_ptr<QTranslator> LoadQtTranslation(const std::string& language) {
    const QLocale locale(QString::fromStdString(language));
    if (locale.language() == QLocale::English) return nullptr;
    if (auto translator = Load(locale)) return translator;
    return Load(QLocale(QString::fromLatin1(kWindowLanguage)));
}

std::unique_ptr<QTranslator> LoadProgramQtTranslation() {
    return LoadQtTranslation(QtTextLanguage(ProgramLocaleFolder(), ProgramTextCatalogue().Language()));
}

}  // namespace nkq::ui
