#include "analysis/ChemicalNameTable.h"
#include "analysis/ArchiveString.h"
#include "app/KitException.h"
#include "tests/analysis/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ListOf(int count, std::uint16_t head = 0x1234) {
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(head),
                                       static_cast<std::uint8_t>(head >> 8)};
    for (int i = 0; i < count; ++i) {
        AppendArchiveString(bytes, "N" + std::to_string(i));
    }
    return bytes;
}

void Append(std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> more) {
    bytes.insert(bytes.end(), more);
}

std::string LoadError(CChemicalNameTable& table, const std::vector<std::uint8_t>& bytes) {
    try {
        table.LoadChemicalNamesFromBytes(bytes);
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "no error";
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST(ChemicalNameTableTest, NamesInEveryStoredForm) {
    std::vector<std::uint8_t> bytes = {0, 0};
    AppendArchiveString(bytes, "Glucose   \t");
    AppendArchiveString(bytes, "  Lead");
    AppendArchiveString(bytes, std::string(300, 'a'));
    Append(bytes, {0xFF, 0xFF, 0xFF, 4, 0, 0, 0, 'L', 'o', 'n', 'g'});
    // 16-bit characters: A, e-acute, euro sign, a CJK character, a surrogate pair.
    Append(bytes,
           {0xFF, 0xFE, 0xFF, 6, 'A', 0, 0xE9, 0, 0xAC, 0x20, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE});
    // 16-bit characters counted by a 16-bit length.
    Append(bytes, {0xFF, 0xFE, 0xFF, 0xFF, 2, 0, 'o', 0, 'k', 0});
    for (int i = 6; i < 300; ++i) {
        AppendArchiveString(bytes, i == 42 ? "    " : i == 43 ? "" : "N" + std::to_string(i));
    }
    CChemicalNameTable table;
    table.LoadChemicalNamesFromBytes(bytes);
    EXPECT_EQ(table.Name(0), "Glucose");
    EXPECT_EQ(table.Name(1), "  Lead");
    EXPECT_EQ(table.Name(2), std::string(300, 'a'));
    EXPECT_EQ(table.Name(3), "Long");
    EXPECT_EQ(table.Name(4), "A\xE9\x80??");
    EXPECT_EQ(table.Name(5), "ok");
    EXPECT_EQ(table.Name(42), "<42>");
    EXPECT_EQ(table.Name(43), "<43>");
    EXPECT_EQ(table.Name(255), "N255");

    // The 16-bit head has no effect.
    CChemicalNameTable withOtherHead;
    bytes[0] = 0xCD;
    bytes[1] = 0xAB;
    withOtherHead.LoadChemicalNamesFromBytes(bytes);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(withOtherHead.Name(i), table.Name(i));
    }
}

TEST(ChemicalNameTableTest, DamagedListsKeepWhatWasRead) {
    CChemicalNameTable shortList;
    EXPECT_EQ(LoadError(shortList, ListOf(200)), "Error loading chemical list");
    EXPECT_EQ(shortList.Name(0), "N0");
    EXPECT_EQ(shortList.Name(199), "N199");
    EXPECT_EQ(shortList.Name(200), "");
    EXPECT_EQ(shortList.Name(255), "");

    auto tooLong = ListOf(10);
    AppendArchiveString(tooLong, std::string(kMaxArchiveStringLength + 1, 'x'));
    auto hugeLength = ListOf(10);
    Append(hugeLength, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    auto nestedWide = ListOf(10);
    Append(nestedWide, {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 1, 'x', 0});
    auto cutInWide = ListOf(10);
    Append(cutInWide, {0xFF, 0xFE, 0xFF, 3, 'x', 0, 'y'});
    for (const auto* damaged : {&tooLong, &hugeLength, &nestedWide, &cutInWide}) {
        CChemicalNameTable table;
        EXPECT_EQ(LoadError(table, *damaged), "Error loading chemical list");
        EXPECT_EQ(table.Name(9), "N9");
        EXPECT_EQ(table.Name(10), "");
    }
    CChemicalNameTable empty;
    EXPECT_EQ(LoadError(empty, {7}), "Error loading chemical list");
    EXPECT_EQ(empty.Name(0), "");
}

TEST(ChemicalNameTableTest, FindsTheListInTheGameFolder) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    TempFolder folder;
    CChemicalNameTable missing;
    try {
        missing.LoadChemicalNames(folder.Dir());
        ADD_FAILURE() << "no list, no error";
    } catch (const CKitException& e) {
        EXPECT_STREQ(e.m_message, "Error loading chemical list");
    }
    EXPECT_EQ(missing.Name(0), "");

    auto german = ListOf(256);
    german[3] = 'D';
    WriteFile(folder.Dir() + "allchemicals.str", ListOf(256));
    WriteFile(folder.Dir() + "allchemicalsDEU.str", german);
    CChemicalNameTable table;
    table.LoadChemicalNames(folder.Dir());
    EXPECT_EQ(table.Name(0), "D0");
    EXPECT_EQ(table.Name(1), "N1");

    setenv("LC_ALL", "C", 1);
    CChemicalNameTable neutral;
    neutral.LoadChemicalNames(folder.Dir());
    EXPECT_EQ(neutral.Name(0), "N0");
    unsetenv("LC_ALL");
}

} // namespace
