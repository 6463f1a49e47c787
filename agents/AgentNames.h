#pragma once

#include <string>
#include <string_view>

// Names inside agent files are Windows-1252 bytes.

// Equal ignoring the case of Windows-1252 letters (A-Z, the accented letters,
// and the pairs Š/š, Œ/œ, Ž/ž, Ÿ/ÿ).
bool EqualIgnoringCase1252(std::string_view a, std::string_view b);

// The name with every Windows-1252 letter in lower case: two names are equal
// ignoring case exactly when their folded forms are equal.
std::string CaseFolded1252(std::string_view name);

// True when the name can only ever name a file directly inside the target
// folder: not empty, not "." or "..", no '/' or '\\', no control character,
// no drive prefix such as "C:".
bool IsSafeCarriedName(std::string_view name);

// Raises IDS_UNEXPECTED_FILE_FORMAT unless IsSafeCarriedName.
void RequireSafeCarriedName(std::string_view name);

// The file path of a carried name in a directory string that ends with a
// separator; the name becomes UTF-8.
std::string CarriedFilePath(const std::string& directory, std::string_view name);
