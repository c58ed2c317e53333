#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

namespace zorvan {

// The system calls a save goes through; tests replace them to make a write fail part-way.
struct SFileOps {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};
const SFileOps& SystemFileOps();

// Replaces the file at path by data so that the file is always either the old one or the new
// one, whatever happens: the data goes to a temporary file in the same folder, is flushed to
// the disk, takes the old file's permissions and is then renamed over it. On failure the old
// file is untouched, the temporary file is removed and error holds the reason.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error,
                         const SFileOps& ops = SystemFileOps());

// Reads a whole file; false with the reason (the system's words) in error.
bool ReadWholeFile(const std::string& path, std::string& data, std::string& error);

}  // namespace zorvan
