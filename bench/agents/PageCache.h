#pragma once

#include <string>
#include <vector>

// Drops the files' pages from the page cache: each is flushed first, since
// the kernel keeps dirty pages, then advised as not needed, which any owner of
// the file may ask. Returns the share (0..1) of their pages still cached
// afterwards; the kernel may keep pages that others have mapped or locked.
double EvictFromPageCache(const std::vector<std::string>& paths);
