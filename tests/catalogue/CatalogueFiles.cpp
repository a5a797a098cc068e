#include "CatalogueFiles.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ProgramRun.h"

namespace nkq::testing {

namespace fs = std::filesystem;

namespace {

std::string PoString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (c == '\n') {
            quoted += "\\n";
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string PoText(const Entries& entries, const std::string& charset) {
    std::string po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + charset + "\\n\"\n";
    for (const auto& [original, translation] : entries) {
        po += "\nmsgid " + PoString(original) + "\nmsgstr " + PoString(translation) + "\n";
    }
    return po;
}

}  // namespace

TempFolder::TempFolder(const std::string& label) {
    static std::atomic<int> counter{0};
    const auto name =
        "nkq-catalogue-" + label + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    path_ = fs::temp_directory_path() / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
    path_ = fs::canonical(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void CompileCatalogue(const fs::path& mo, const Entries& entries, ByteOrder order,
                      const std::string& charset) {
    fs::create_directories(mo.parent_path());
    const fs::path po = mo.string() + ".po";
    WriteBytes(po, PoText(entries, charset));
    std::vector<std::string> arguments{"-o", mo.string(), po.string()};
    if (order == ByteOrder::Big) arguments.insert(arguments.begin(), "--endianness=big");
    const auto result = RunProgram(MSGFMT_PROGRAM, arguments);
    fs::remove(po);
    if (result.exit_status != 0) throw std::runtime_error("msgfmt failed: " + result.err);
}

fs::path CatalogueFile(const fs::path& locale_folder, const std::string& language,
                       const std::string& domain) {
    return locale_folder / language / "LC_MESSAGES" / (domain + ".mo");
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace nkq::testing
