#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// One in-kernel copy step, as copy_file_range makes it: up to `count` bytes
// from `source` at `*offset` (advanced by the bytes copied) to `destination` at
// its file position. The bytes copied, 0 at the end of the source, or -1 with
// errno set.
using KernelCopyStep = ssize_t (*)(int source, off_t* offset, int destination, std::size_t count);

// Writes all `size` bytes at the file position of `fd`, going on after partial
// writes and interruptions; false when a write fails.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

ssize_t CopyFileRange(int source, off_t* offset, int destination, std::size_t count);

// Copies `size` bytes of `source` from `offset` on to `destination` at its file
// position. The kernel copies them where `offset` and the position lie at the
// same place within a page (sharing blocks where the file system does); the
// others, and the rest where the kernel refuses (another file system, a kind
// of file it does not copy), go through a bounded buffer with read and write. False
// on a read or write failure and when the source ends before `size` bytes.
// `step` is the kernel's copy; tests pass one that refuses.
bool CopyFileBytes(int source, std::uint64_t offset, std::uint64_t size, int destination,
                   KernelCopyStep step = CopyFileRange);
