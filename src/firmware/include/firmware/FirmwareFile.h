#pragma once
// A firmware file read at most once however many updates take it: every
// modem of a batch gets the same bytes, and every record the same digest,
// even when the file changes on disk while the batch runs. The ports'
// threads share one object.
#include <exception>
#include <mutex>
#include <string>

#include "firmware/FirmwareImage.h"

namespace nkq {

struct FirmwareFileContent {
    FirmwareImage image;
    std::string digest;  // SHA-256 of image.bytes, lower-case hex
};

class FirmwareFile {
public:
    explicit FirmwareFile(std::string path) : path_(std::move(path)) {}
    FirmwareFile(const FirmwareFile&) = delete;
    FirmwareFile& operator=(const FirmwareFile&) = delete;

    // Reads the file on the first call; later calls return the same content,
    // or raise the same failure (EFOpenError) as the first.
    const FirmwareFileContent& Content();

private:
    std::string path_;
    std::once_flag read_;
    FirmwareFileContent content_;
    std::exception_ptr failure_;
};

}  // namespace nkq
