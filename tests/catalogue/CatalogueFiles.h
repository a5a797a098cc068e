#pragma once
// Real catalogues for the tests: a .po file written here, compiled by the
// system's msgfmt, placed in a temporary folder.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"

namespace nkq::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

enum class ByteOrder { Little, Big };

// Compiles `entries` (untranslated, translated) into an MO file at `mo`,
// creating its folders. `charset` is what the header declares; the texts are
// written as given.
void CompileCatalogue(const std::filesystem::path& mo, const Entries& entries,
                      ByteOrder order = ByteOrder::Little, const std::string& charset = "UTF-8");

// <folder>/<language>/LC_MESSAGES/<domain>.mo
std::filesystem::path CatalogueFile(const std::filesystem::path& locale_folder, const std::string& language,
                                    const std::string& domain = "default");

}  // namespace nkq::testing
