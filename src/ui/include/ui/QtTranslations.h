#pragma once
// Qt's own texts (the standard buttons of the question box, the file
// dialogs) in the window's language. The window speaks Russian; where a
// library text catalogue beside the program selects another language, Qt's
// texts follow it when Qt has a translation for it.
#include <QString>
#include <filesystem>
#include <memory>
#include <string>

class QTranslator;

namespace nkq::ui {

inline constexpr const char* kWindowLanguage = "ru_RU";

// `catalogue_language` when a "default" catalogue for it lies in
// `locale_folder`, otherwise the window's own language.
std::string QtTextLanguage(const std::filesystem::path& locale_folder, const std::string& catalogue_language);

// Where Debian's qt6-translations-l10n puts qtbase_<language>.qm; on
// Windows the program's own resources, which carry qtbase_ru.qm alone.
QString QtTranslationsFolder();

// Qt's translation for `language`, or for the window's language when Qt has
// none for it; nothing for English, which is Qt's own, or when neither loads.
std::unique_ptr<QTranslator> LoadQtTranslation(const std::string& language);

// The same for the running program: its catalogue language and folder.
std::unique_ptr<QTranslator> LoadProgramQtTranslation();

}  // namespace nkq::ui
