#pragma once

#include <optional>
#include <string>
#include <string_view>

// The forms a manifest value takes (see the README's manifest section):
//   key = text             the text as it stands, blanks around it dropped
//   key <<END ... END      lines of text joined with line feeds, kept verbatim
//   key := "text"          escapes \\ \" \r \n \t and \xHH, the Windows-1252
//                          character of byte HH

// The UTF-8 text of a quoted value of the escaped form, or nullopt with `error`
// saying what is wrong.
std::optional<std::string> UnescapeValue(std::string_view quoted, std::string& error);

// The manifest line(s) that give `key` the Windows-1252 text exactly: the plain
// form where it can, a here-document for lines of printable text, and else the
// escaped form. Ends with a line feed.
std::string ManifestEntry(std::string_view key, std::string_view windows1252);
