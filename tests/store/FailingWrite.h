#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "store/AtomicFile.h"

namespace zorvan::test {

// How many more bytes WriteThenFail lets through.
inline size_t g_bytesLeft = 0;

// A write of SFileOps that lets g_bytesLeft bytes through, then fails as a full disk does.
inline ssize_t WriteThenFail(int fd, const void* data, size_t size) {
  if (g_bytesLeft == 0) {
    errno = ENOSPC;
    return -1;
  }
  const size_t n = std::min(size, g_bytesLeft);
  g_bytesLeft -= n;
  return ::write(fd, data, n);
}

// An unnamed temporary file that the file system cannot make, so a save names its temporary
// file from the start.
inline int NoUnnamedFile(const char*, mode_t) {
  errno = EOPNOTSUPP;
  return -1;
}

inline SFileOps NamedTemporaryOps() {
  SFileOps ops = SystemFileOps();
  ops.openUnnamed = NoUnnamedFile;
  return ops;
}

}  // namespace zorvan::test
