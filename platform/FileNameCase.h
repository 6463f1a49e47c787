#pragma once

#include <optional>
#include <string>
#include <string_view>

// A game folder copied from a system whose file names ignore case may spell
// any name in another case: "WALLPAPER.BMP", "helpdeu.chm", "Ball.KIV". Names
// on disk are bytes in an encoding nobody recorded: UTF-8 when the copy
// converted them, Windows-1252 when it did not. So the one rule is ASCII
// folding: A-Z equal a-z, and every other byte, each byte of a UTF-8 character
// included, must match exactly. Folding Windows-1252 letters would change
// UTF-8 lead bytes and match names that differ; folding Unicode is impossible
// on names that are not UTF-8. Every fixed name the program looks up is ASCII.
//
// When several names in a folder mean the same file, the exact spelling wins;
// among the others the first in byte order (unsigned bytes, as memcmp
// compares) wins, so every machine picks the same one whatever order its
// folder lists them in.

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
std::string FoldedAsciiCase(std::string_view text);

// The path of the file that `name` means in `directory` (a directory string
// ending with a separator, or empty for the current directory), or nullopt
// when there is none. A file counts when it can be looked at (stat), as a link
// to nothing names no file.
std::optional<std::string> FindFileIgnoringCase(const std::string& directory,
                                                std::string_view name);

// FindFileIgnoringCase, or directory + name when there is no such file, so
// that a failure to open it names the file the program looked for.
std::string PathIgnoringCase(const std::string& directory, std::string_view name);

// The same for the names made of `head`, any one character (a UTF-8 character
// or a single other byte), and `tail`. A name whose `head` and `tail` are
// spelled exactly is preferred; then byte order.
std::optional<std::string> FindFileWithOneCharacterIgnoringCase(const std::string& directory,
                                                                std::string_view head,
                                                                std::string_view tail);
