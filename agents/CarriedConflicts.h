#pragma once

#include "agents/CarriedFileType.h"
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class CAgentFile;

// An image or sound that several agent files carry under one name (ignoring
// ASCII case, as the injection looks names up in the game's folders) with
// different contents. The game's folder keeps whichever was written first when
// the sizes match, so a player would see another agent's picture or hear
// another agent's sound.
struct CCarriedConflict {
    ECarriedFileType type = ECarriedFileType::kImage;
    std::string name;               // as the first agent file carries it, Windows-1252
    std::vector<std::string> paths; // every agent file carrying the name, in the order added
};

// The carried files of many agent files, compared by name. Only where and how
// large each carried file is stays in memory; contents are read, in blocks,
// only when two files carry a name with the same size.
class CCarriedFileIndex {
public:
    // Notes the carried files of `file`: of several that share a name, the
    // first, which is the one an injection would write.
    void Add(const CAgentFile& file);
    // Every conflicting name, ordered by type and then name ignoring ASCII case.
    // Contents are hashed on several threads, each streaming through a block
    // of its own. Raises IDS_ERROR_READING_FILE with the agent file's path when contents cannot
    // be read.
    std::vector<CCarriedConflict> Conflicts() const;

    // Where one carried file lies.
    struct Carried {
        std::string path;
        std::string name;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

private:
    // By type and name folded to ASCII lower case.
    std::map<std::pair<ECarriedFileType, std::string>, std::vector<Carried>> m_byName;
};
