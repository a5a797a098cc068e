#pragma once
// The two ways a file's bytes are written: into a temporary file beside it
// that then takes its place, or into the file itself. Failures are raised as
// SystemFailure with the errno of the call that failed.
#include <string>

namespace nkq::file_writing {

struct SystemFailure {
    int error_number;
};

// Writes a temporary file in the target's folder and renames it over the
// target: a failure part-way leaves the old file whole and no temporary file
// behind. A replaced file keeps its mode, and its owner and group where the
// user may set them; a new one gets 0666 less the umask.
void ReplaceThroughTemporary(const std::string& target, const std::string& bytes);

// Opens the file as it stands (creating a regular file where none is),
// truncates it and writes the bytes; `sync` flushes them to disk.
void WriteInPlace(const std::string& path, const std::string& bytes, bool sync);

// Writes the bytes into a descriptor this process already holds, where its
// offset and flags say (">>" appends), without truncating or closing it; a
// regular file is flushed to disk.
void WriteIntoDescriptor(int fd, const std::string& bytes);

}  // namespace nkq::file_writing
