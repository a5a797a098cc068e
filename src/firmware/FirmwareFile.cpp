#include "firmware/FirmwareFile.h"

#include "app/Sha256.h"

namespace nkq {

const FirmwareFileContent& FirmwareFile::Content() {
    std::call_once(read_, [this] {
        try {
            content_.image = ReadFirmwareImage(path_);
            content_.digest = Sha256Hex(content_.image.bytes);
        } catch (...) {
            failure_ = std::current_exception();
        }
    });
    if (failure_) std::rethrow_exception(failure_);
    return content_;
}

}  // namespace nkq
