// Chemical lists of any content: a full table or the one fixed message.
#include "analysis/ChemicalNameTable.h"
#include "core/KitException.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CChemicalNameTable table;
    try {
        table.LoadChemicalNamesFromBytes({data, size});
    } catch (const CKitException& e) {
        if (std::strcmp(e.m_message, "Error loading chemical list") != 0) {
            std::abort();
        }
        return 0;
    }
    for (std::size_t i = 0; i < CChemicalNameTable::kChemicalCount; ++i) {
        if (table.Name(i).empty()) {
            std::abort();
        }
    }
    return 0;
}
