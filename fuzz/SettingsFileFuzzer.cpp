// A settings file may hold anything the operator picks. Loading it through a
// real file must end normally or with a parameter-line failure, and saving
// the result and loading it again must give the same set.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "ParameterFuzzSupport.h"
#include "app/Failure.h"
#include "app/FileBytes.h"
#include "params/ParameterLines.h"
#include "params/SettingsFile.h"

namespace {

// One folder per process, removed at exit.
class FuzzFolder {
public:
    FuzzFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nkq-fuzz-XXXXXX").string();
        NKQ_FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

const FuzzFolder& Folder() {
    static const FuzzFolder folder;
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    NKQ_FUZZ_CHECK(file.good());
}

void Load(nkq::ParameterSet& set, const std::string& path) {
    try {
        nkq::LoadSettingsFile(set, path);
    } catch (const nkq::EConvertError&) {
    } catch (const nkq::EAbort&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = Folder().File("input.txt");
    const std::string saved = Folder().File("saved.txt");
    WriteFile(input, std::string(reinterpret_cast<const char*>(data), size));

    nkq::ParameterSet set;
    set.ApplyStartupRules();
    Load(set, input);

    nkq::SaveSettingsFile(set, saved);
    NKQ_FUZZ_CHECK(nkq::ReadWholeFile(saved) == nkq::SettingsFileText(set));
    nkq::ParameterSet reloaded;
    reloaded.ApplyStartupRules();
    nkq::LoadSettingsFile(reloaded, saved);
    NKQ_FUZZ_CHECK(nkq::BuildParameterLines(reloaded) == nkq::BuildParameterLines(set));
    return 0;
}
