#pragma once
// What nkq needs of its console before it prints anything, and its
// arguments as UTF-8 text.
#include <string>
#include <vector>

namespace nkq::cli {

// On Windows: output in UTF-8 so the Russian messages show, standard output
// and error in binary mode so a settings file's CR LF stays as it is, and
// the terminal escapes of the progress line understood. Nothing on POSIX.
void PrepareConsole();

// The arguments after the program name; on Windows taken from the wide
// command line, so paths in any script arrive intact.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace nkq::cli
