#pragma once
// Settings files: the parameter lines of a set, each ended by CR LF, with no
// header; the bytes are written and read exactly as the set holds them.
#include <string>
#include <vector>

#include "params/ParameterSet.h"

namespace nkq {

// Replaces the file in one step; EFCreateError leaves any old file as it was.
void SaveSettingsFile(const ParameterSet& set, const std::string& path);

// Applies the file's lines; EFOpenError when it cannot be read, and the
// parameter-line failures with the lines before the failing one applied.
void LoadSettingsFile(ParameterSet& set, const std::string& path);

// The file's lines as bytes, without a byte-order mark an editor put first;
// EFOpenError when it cannot be read.
std::string ReadSettingsText(const std::string& path);

// The file's bytes for a set.
std::string SettingsFileText(const ParameterSet& set);

// The file's bytes for some lines of a set, each ended by CR LF.
std::string SettingsFileText(const std::vector<std::string>& lines);

}  // namespace nkq
