// A small program that prints library texts as the running program's
// catalogue gives them, for tests that copy it beside a locale folder.
//
//   --init                 start-up of the catalogue
//   --language             print the language in use
//   --copy FROM TO         copy a file (to install a catalogue late)
//   --remove PATH          remove a file
//   --domain NAME          look up the following texts in NAME
//   --com-error CODE ERR   print the serial port's failure text
//   --integer TEXT         print the integer conversion's failure text
//   TEXT                   print the text's lookup
// A failing lookup prints "<kind>: <message>" on stderr and ends with 3.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "app/Failure.h"
#include "app/LibraryText.h"
#include "serial/EComPort.h"

namespace {

namespace fs = std::filesystem;

void Print(const std::string& text) { std::printf("%s\n", text.c_str()); }

void Run(const std::vector<std::string>& args) {
    std::string domain = nkq::kDefaultDomain;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--init") {
            nkq::InitCatalogue();
        } else if (arg == "--language") {
            Print(nkq::ProgramTextCatalogue().Language());
        } else if (arg == "--copy") {
            fs::create_directories(fs::path(args.at(i + 2)).parent_path());
            fs::copy_file(args.at(i + 1), args.at(i + 2), fs::copy_options::overwrite_existing);
            i += 2;
        } else if (arg == "--remove") {
            fs::remove(args.at(++i));
        } else if (arg == "--domain") {
            domain = args.at(++i);
        } else if (arg == "--com-error") {
            Print(nkq::EComPort(std::stoi(args.at(i + 1)), std::stoi(args.at(i + 2))).Message());
            i += 2;
        } else if (arg == "--integer") {
            Print(nkq::InvalidIntegerError(args.at(++i)).Message());
        } else {
            Print(nkq::LibraryText(arg.c_str(), domain.c_str()));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const nkq::Exception& e) {
        std::fprintf(stderr, "%s: %s\n", e.KindName().c_str(), e.Message().c_str());
        return 3;
    }
    return 0;
}
