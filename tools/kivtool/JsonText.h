#pragma once

#include "agents/CarriedFileType.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// Every JSON document kivtool prints is built with this type, which keeps the
// order in which keys are added.
using JsonValue = nlohmann::ordered_json;

// Windows-1252 text from an agent file as a JSON string.
JsonValue Json1252Value(std::string_view windows1252);

// The document on one line. Bytes that are not UTF-8 (a path can hold any)
// become U+FFFD, so the output is always valid JSON.
std::string JsonDump(const JsonValue& value);

// Prints an array with one item a line: "[A,\nB]" and a line feed.
void PrintJsonLines(const JsonValue& array);

// `text` (UTF-8) as a JSON string literal, quotes included, for messages.
std::string JsonString(std::string_view text);
// Windows-1252 text from an agent file as a JSON string literal.
std::string Json1252(std::string_view windows1252);

// Windows-1252 text as UTF-8 on one line: line breaks show as \r and \n.
std::string OneLine(std::string_view windows1252);

// "image", "sound" or "unknown" for a carried file's type.
const char* CarriedTypeName(ECarriedFileType type);

// Appends one item to a list whose items are separated by `separator`.
void AddItem(std::string& list, const std::string& item, const char* separator = ",");
