#include "analysis/ChemicalNameTable.h"
#include "tests/support/Caught.h"
#include "tests/support/ChemicalList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Chemicals 0 to count - 1 named "N0", "N1", ..., under a head that has no effect.
std::vector<std::uint8_t> Numbered(int count, std::uint16_t head = 0x1234) {
    return ChemicalList([](int i) { return "N" + std::to_string(i); }, count, head);
}

// `bytes` followed by `more`.
std::vector<std::uint8_t> Then(std::vector<std::uint8_t> bytes,
                               std::initializer_list<std::uint8_t> more) {
    bytes.insert(bytes.end(), more);
    return bytes;
}

TEST(ChemicalNameTable, NamesInEveryStoredForm) {
    const std::vector<std::string> stored = {"Glucose   \t", "  Lead", std::string(300, 'a')};
    auto list =
        Then(ChemicalList([&](int i) { return stored.at(i); }, 3),
             {0xFF, 0xFF, 0xFF, 4, 0, 0, 0, 'L', 'o', 'n', 'g',
              // 16-bit characters: A, e-acute, euro sign, a CJK character, a surrogate pair.
              0xFF, 0xFE, 0xFF, 6, 'A', 0, 0xE9, 0, 0xAC, 0x20, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE,
              // 16-bit characters counted by a 16-bit length.
              0xFF, 0xFE, 0xFF, 0xFF, 2, 0, 'o', 0, 'k', 0});
    for (int i = 6; i < 300; ++i) { // past the 256th: not read
        AppendArchiveString(list, i == 42 ? "    " : i == 43 ? "" : "N" + std::to_string(i));
    }
    CChemicalNameTable table;
    table.LoadChemicalNamesFromBytes(list);
    const std::vector<std::pair<int, std::string>> names = {
        {0, "Glucose"}, {1, "  Lead"},      {2, std::string(300, 'a')},
        {3, "Long"},    {4, "A\xE9\x80??"}, {5, "ok"},
        {42, "<42>"},   {43, "<43>"},       {255, "N255"}};
    for (const auto& [chemical, name] : names) {
        EXPECT_EQ(table.Name(chemical), name) << chemical;
    }
}

// A damaged list keeps the names before the damage: `kept` of them.
TEST(ChemicalNameTable, DamagedListsKeepWhatWasRead) {
    auto tooLong = Numbered(10);
    AppendArchiveString(tooLong, std::string(kMaxArchiveStringLength + 1, 'x'));
    const std::pair<std::vector<std::uint8_t>, int> damagedLists[] = {
        {{7}, 0},
        {Numbered(200), 200},
        {tooLong, 10},
        {Then(Numbered(10), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 10},
        {Then(Numbered(10), {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 1, 'x', 0}), 10},
        {Then(Numbered(10), {0xFF, 0xFE, 0xFF, 3, 'x', 0, 'y'}), 10},
    };
    for (const auto& [damaged, kept] : damagedLists) {
        SCOPED_TRACE(damaged.size());
        CChemicalNameTable table;
        EXPECT_EQ(CaughtMessage([&, &bytes = damaged] { table.LoadChemicalNamesFromBytes(bytes); }),
                  "Error loading chemical list");
        if (kept > 0) {
            EXPECT_EQ(table.Name(kept - 1), "N" + std::to_string(kept - 1));
        }
        EXPECT_EQ(table.Name(kept), "");
    }
}

} // namespace
