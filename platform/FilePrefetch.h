#pragma once

#include <cstddef>
#include <string>

// Asks the kernel to start reading the first `bytes` of the file into the page
// cache and returns at once; the read goes on after the file is closed. Does
// nothing where the file cannot be opened: its reader reports that.
void PrefetchFileStart(const std::string& path, std::size_t bytes);
