#pragma once
// The program's text catalogues: `locale/<language>/LC_MESSAGES/<domain>.mo`
// below the folder that holds the program.
#include <filesystem>
#include <string>

#include "app/TextCatalogue.h"

namespace nkq {

// Fixes the locale folder and the language once; every program calls it first
// thing in main. A lookup before it does the same work itself.
void InitCatalogue();

// Adds a domain bound to the same folder; the "default" domain always exists.
// Safe before InitCatalogue, even during static initialisation.
void RegisterCatalogueDomain(const std::string& domain);

// The program's catalogues, set up by the first call.
TextCatalogue& ProgramTextCatalogue();

// "locale" below the folder of the running program, empty when unknown.
std::filesystem::path ProgramLocaleFolder();

}  // namespace nkq
