#pragma once
// Where the last firmware file name is remembered between runs. The update
// itself only needs these two calls, so it stays free of the settings backend
// (QSettings for the window, memory for the command line and the tests).
//
// File names are paths, not modem text: they travel as the platform's own
// bytes (UTF-8 on Linux) from the field to the store and back, never as
// Windows-1251.
#include <string>

namespace nkq {

class FileNameStore {
public:
    virtual ~FileNameStore() = default;

    // An empty text when nothing has been stored yet.
    virtual std::string LoadFileName() = 0;
    virtual void SaveFileName(const std::string& file_name) = 0;
};

}  // namespace nkq
