#include "CatalogueFiles.h"

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

void CompileCatalogue(const fs::path& mo, const Entries& entries, ByteOrder order,
                      const std::string& charset) {
    fs::create_directories(mo.parent_path());
    const fs::path po = mo.string() + ".po";
    WriteFile(po, PoText(entries, charset));
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

}  // namespace nkq::testing
