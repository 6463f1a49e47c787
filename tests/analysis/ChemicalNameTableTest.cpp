#include "analysis/ChemicalNameTable.h"
#include "tests/support/Caught.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Chemicals 0 to count - 1 named "N0", "N1", ...
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

    // The 16-bit head has no effect.
    list[0] = 0xCD;
    list[1] = 0xAB;
    CChemicalNameTable withOtherHead;
    withOtherHead.LoadChemicalNamesFromBytes(list);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(withOtherHead.Name(i), table.Name(i));
    }
}

TEST(ChemicalNameTable, DamagedListsKeepWhatWasRead) {
    CChemicalNameTable shortList;
    EXPECT_EQ(CaughtMessage([&] { shortList.LoadChemicalNamesFromBytes(Numbered(200)); }),
              "Error loading chemical list");
    EXPECT_EQ(shortList.Name(199), "N199");
    EXPECT_EQ(shortList.Name(200), "");

    auto tooLong = Numbered(10);
    AppendArchiveString(tooLong, std::string(kMaxArchiveStringLength + 1, 'x'));
    const std::vector<std::vector<std::uint8_t>> damagedLists = {
        tooLong, Then(Numbered(10), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
        Then(Numbered(10), {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 1, 'x', 0}),
        Then(Numbered(10), {0xFF, 0xFE, 0xFF, 3, 'x', 0, 'y'})};
    for (const auto& damaged : damagedLists) {
        SCOPED_TRACE(damaged.size());
        CChemicalNameTable table;
        EXPECT_EQ(CaughtMessage([&] { table.LoadChemicalNamesFromBytes(damaged); }),
                  "Error loading chemical list");
        EXPECT_EQ(table.Name(9), "N9");
        EXPECT_EQ(table.Name(10), "");
    }
    CChemicalNameTable empty;
    EXPECT_EQ(
        CaughtMessage([&] { empty.LoadChemicalNamesFromBytes(std::vector<std::uint8_t>{7}); }),
        "Error loading chemical list");
    EXPECT_EQ(empty.Name(0), "");
}

TEST(ChemicalNameTable, FindsTheListInTheGameFolderInTheUsersLanguage) {
    const ScopedLocale german("de_DE.UTF-8");
    const TempDir folder;
    const std::string dir = folder.Path().string() + "/";
    CChemicalNameTable missing;
    EXPECT_EQ(CaughtMessage([&] { missing.LoadChemicalNames(dir); }),
              "Error loading chemical list");
    EXPECT_EQ(missing.Name(0), "");

    const auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        folder.Write(name, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    };
    auto germanList = Numbered(256);
    germanList[3] = 'D';
    write("allchemicals.str", Numbered(256));
    write("allchemicalsDEU.str", germanList);
    CChemicalNameTable table;
    table.LoadChemicalNames(dir);
    EXPECT_EQ(table.Name(0), "D0");
    EXPECT_EQ(table.Name(1), "N1");

    const ScopedLocale neutral("C");
    CChemicalNameTable english;
    english.LoadChemicalNames(dir);
    EXPECT_EQ(english.Name(0), "N0");
}

} // namespace
