#pragma once

#include <string>

class CDependencyFile;

// Copies one carried file out of its agent file into `directory` (a directory
// string ending with a separator) as `destination`, a path directly inside
// `directory`; the two-argument form names it after the record. The copy is written
// to a new temporary file beside the destination and renamed into place, so a
// failure never leaves a partial file and a symbolic link planted under the
// name is replaced, never written through. An unsafe name is refused with 6399
// before anything is written; every other failure is 6344 with the agent file's
// path.
void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory,
                        const std::string& destination);
void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory);
