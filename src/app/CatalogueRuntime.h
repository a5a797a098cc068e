#pragma once
// What the catalogue needs from the operating system: where the program
// lives, and the C library's own message runtime where there is one.
#include <filesystem>
#include <string>

namespace nkq {

// The folder that holds the running program, empty when unknown.
std::filesystem::path ProgramFolder();

// Binds `domain` to `folder` for the C library's runtime, so that a caller
// of dgettext under an installed locale reads the same files; the lookups
// of LibraryText themselves read the catalogue directly.
void BindForRuntime(const std::string& domain, const std::filesystem::path& folder);

}  // namespace nkq
