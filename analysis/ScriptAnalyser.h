#pragma once

#include "analysis/ResultsTree.h"
#include "analysis/ScriptTokenLength.h"

#include <bitset>
#include <cstddef>
#include <string_view>

class CAgent;
class CChemicalNameTable;

// The script analyser: a word-by-word scan of an agent's macro text for the
// commands that change chemicals, kill or fire neurons. It never runs a script.

// Pictures of the results tree's image list.
enum ResultsPicture : int {
    kPictureInformation = 0,
    kPictureWarning = 1,
    kPictureMolecule = 2,
    kPictureScroll = 3,
};

// One flag per chemical number; 0 is never set.
using ChemicalSet = std::bitset<256>;

// The next word at `cursor`, which advances to the separator or end that stops
// it. Words are separated by white space and commas; the text ends at its zero
// terminator. The view points into the script text and holds at most
// kMaxTokenLength characters; it is empty at the end of the text. The plain
// tokenizer: the analyser reads event headers with it, and its scans must read
// exactly the words that it reads (ScriptReading).
std::string_view GetNextToken(const char*& cursor);

// A word as a number, by the C library's atoi rules: optional sign, then digits
// up to the first other character; 0 without digits. Values beyond the int
// range saturate.
int TokenToNumber(std::string_view token);

// Empties the tree, then with an agent fills it with the four sections: general
// information, scripts, chemicals affected and warnings (expanded). Texts come
// from the string table of the user's language; agent and chemical texts are
// converted from Windows-1252 to UTF-8. An event script's item shows its header
// numbers and the event's name; event numbers without a name (13 and above, and
// any below 0) show the word "Event" and the number: "<1 2 3> Event -4".
//
// The scans read the scripts' words from their word bits (CScriptWords), or,
// as the reference that reading must equal, one GetNextToken after another.
enum class ScriptReading { kWordBits, kTokens };
void AnalyseAgent(const CAgent* agent, const CChemicalNameTable& chemicalNames, IResultsTree& tree,
                  ScriptReading reading = ScriptReading::kWordBits);
