#include "app/LibraryText.h"

namespace nkq {

// No catalogue is delivered with the system; until one is installed every
// text stands exactly as written.
std::string LibraryText(const char* english, const char* /*domain*/) {
    return english;
}

}  // namespace nkq
