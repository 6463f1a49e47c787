#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Asks the kernel to start reading the first `bytes` of the file into the page
// cache and returns at once; the read goes on after the file is closed. Does
// nothing where the file cannot be opened: its reader reports that.
void PrefetchFileStart(const std::string& path, std::size_t bytes);

// Reads up to `count` bytes at `at` from the open file `fd` if the page cache
// can give them without waiting for the disk. Nullopt when reading would wait,
// when the system cannot tell, or on any failure: the caller reads normally
// then, and reports what that read finds. Fewer bytes than asked can mean the
// end of the file or a part not in the cache.
std::optional<std::size_t> ReadIfCached(int fd, std::uint8_t* out, std::size_t count,
                                        std::uint64_t at);
