#pragma once
// Whole-file reads and replacing writes. A replacing write goes through a
// temporary file in the same folder and a rename, so a failure part-way never
// leaves the operator with a truncated settings file.
#include <cstddef>
#include <cstdint>
#include <string>

namespace nkq {

// The file's bytes, at most `limit` of them, so that a huge file (or a device
// that never ends) costs no more memory than that. EFOpenError with the path
// and the system's reason when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path, std::size_t limit = SIZE_MAX);

// Replaces the file at `path` (or creates it) with `bytes` in one step. On any
// failure the old file is untouched, no temporary file remains, and
// EFCreateError with the path and the system's reason is raised. A new file
// gets 0666 less the umask; a replaced one keeps its mode (and owner and group
// as far as permitted). Symbolic links are followed, so a link stays a link
// and a dangling one creates its target. A file the user may not write is
// refused; one in a folder that takes no new files is written in place. A
// target that is not a regular file (a FIFO, /dev/null, /dev/stdout) is
// written into, never replaced. On Windows the replacement is moved over the
// old file with MoveFileEx, a read-only file is refused, and a device such as
// NUL is written into; modes and owners are the folder's.
void ReplaceFile(const std::string& path, const std::string& bytes);

}  // namespace nkq
