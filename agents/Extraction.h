#pragma once

#include <string>

class CDependencyFile;

// Copies one carried file out of its agent file into `directory` (a directory
// string ending with a separator) as `destination`, a path directly inside
// `directory`, replacing any file of that name; the two-argument form names it
// after the record. The copy is made in a new file of the folder that gets its
// name only once it is whole and flushed (see CNewFile), so a failure or a kill
// never leaves a partial or stray file, and a symbolic link planted under the
// name is replaced, never written through. An unsafe name is refused with
// IDS_UNEXPECTED_FILE_FORMAT before anything is written; no memory for the copy is
// IDS_ERROR_ALLOCATING_MEMORY; every other failure is IDS_ERROR_READING_FILE with the agent file's
// path.
void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory,
                        const std::string& destination);
void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory);

// The same, but false, with nothing changed, when the folder refuses the change
// by its permissions (a folder that may not be written, or a file in it that
// may not be replaced), so that the caller can keep the file that is there.
[[nodiscard]] bool ReplaceWithCarriedFile(const CDependencyFile& record,
                                          const std::string& directory,
                                          const std::string& destination);
