// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/print_zones.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

struct ZoneCase {
    const char* name;
    std::vector<std::string> items;
    std::string line;
};

void PrintTo(const ZoneCase& row, std::ostream* out)
{
    *out << row.name;
}

// Column ruler for reading the expected lines:
//  0             14            28            42            56
//  |             |             |             |             |
const ZoneCase kZoneCases[] = {
    {"TitleOf19CharactersPushesTheDateToTheThirdZone",
        {"KR-709W Data Report", "10/12/26", "14:03:07"},
        "KR-709W Data Report         10/12/26      14:03:07"},
    {"StampOf19CharactersPushesTheNextItemToTheThirdZone", {"2024-05-01\\14:03:07", "x"},
        "2024-05-01\\14:03:07         x"},
    {"ItemOf13CharactersLeavesOneBlankBeforeTheNextZone", {"ABCDEFGHIJKLM", "x"},
        "ABCDEFGHIJKLM x"},
    {"ItemOfExactly14CharactersPushesTheNextItemAWholeZone", {"ABCDEFGHIJKLMN", "x"},
        "ABCDEFGHIJKLMN              x"},
    {"ItemEndingOnALaterZoneBoundaryPushesTheNextItemAWholeZone", {"a", "ABCDEFGHIJKLMN", "x"},
        "a             ABCDEFGHIJKLMN              x"},
    {"RecordNumberBringsItsOwnBlanks", {" 12 ", "FUN_VAC"}, " 12           FUN_VAC"},
    {"EmptyItemTakesItsZone", {"a", "", "b"}, "a                           b"},
    {"EmptyFirstItemTakesTheFirstZone", {"", "b"}, "              b"},
    {"NoBlanksAfterTheLastItemEvenWhenItIsEmpty", {"a", "", ""}, "a"},
    {"EmptyLine", {}, ""},
    // 13 characters in 19 bytes: counted in bytes it would push "x" a zone further.
    {"MultibyteCharactersCountOnce", {"2026년 12월 10일", "x"}, "2026년 12월 10일 x"},
    {"MultibyteItemOfExactly14Characters", {"ÄÖÜäöüßÄÖÜäöüß", "x"},
        "ÄÖÜäöüßÄÖÜäöüß              x"},
};

class PrintZones : public testing::TestWithParam<ZoneCase> { };

TEST_P(PrintZones, PlacesEveryItemAtItsZoneStart)
{
    std::string line;
    PrintZoneLine zones(line);
    for (const std::string& item : GetParam().items)
        zones.item(item);
    EXPECT_EQ(line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Items, PrintZones, testing::ValuesIn(kZoneCases),
    [](const testing::TestParamInfo<ZoneCase>& row) { return std::string(row.param.name); });

TEST(PrintZoneLine, AppendsBehindEarlierLinesAndCountsColumnsFromItsOwnStart)
{
    std::string text = "earlier line\r\n";
    PrintZoneLine(text).item("a").item("b");
    EXPECT_EQ(text, "earlier line\r\na             b");
}

} // namespace
} // namespace clampmeter
