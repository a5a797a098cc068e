#include "app/LibraryText.h"

#include "app/Catalogue.h"

namespace nkq {

std::string LibraryText(const char* english, const char* domain) {
    return ProgramTextCatalogue().Translate(english, domain);
}

}  // namespace nkq
