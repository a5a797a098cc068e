#pragma once
// A store that forgets at exit: nkq must not change the window's remembered
// file name, and tests want to see what was saved.
#include <string>

#include "firmware/FileNameStore.h"

namespace nkq {

class MemoryFileNameStore : public FileNameStore {
public:
    explicit MemoryFileNameStore(std::string initial = {}) : file_name_(std::move(initial)) {}

    std::string LoadFileName() override { return file_name_; }
    void SaveFileName(const std::string& file_name) override {
        file_name_ = file_name;
        ++saves_;
    }

    int Saves() const { return saves_; }

private:
    std::string file_name_;
    int saves_ = 0;
};

}  // namespace nkq
