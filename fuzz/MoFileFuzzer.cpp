// A message catalogue beside the program is a file anyone may replace: a
// damaged one must be refused with EInvalidCatalogue, never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "app/EInvalidCatalogue.h"
#include "app/MoFile.h"

namespace {

// Probes with texts the catalogue might hold: the header entry, the input's
// own beginning and a library text.
void Probe(const nkq::MoFile& catalogue, std::string_view bytes) {
    NKQ_FUZZ_CHECK(catalogue.Find("") == nullptr);
    for (std::size_t length : {1, 4, 16}) catalogue.Find(bytes.substr(0, length));
    catalogue.Find("Unable to open com port");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        Probe(nkq::MoFile::Parse(bytes, "fuzz.mo"), bytes);
    } catch (const nkq::EInvalidCatalogue&) {
    }
    return 0;
}
