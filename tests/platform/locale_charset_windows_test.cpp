// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Text in Windows code pages: the ANSI code page the report and the export are written in,
// and named code pages.

#include "../registry/temp_folder.h"
#include "platform/locale_charset.h"
#include "platform/qt_output_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <windows.h>

namespace clampmeter {
namespace {

struct Conversion {
    const char* name;
    const char* codePage;
    std::string utf8;
    std::string encoded;
};

void PrintTo(const Conversion& row, std::ostream* out)
{
    *out << row.name;
}

const Conversion kConversions[] = {
    {"WesternEuro", "CP1252", "5 € Grüße",
        "5 \x80 Gr\xFC\xDF"
        "e"},
    {"NumberAlone", "1252", "°C",
        "\xB0"
        "C"},
    {"CentralEuropean", "CP1250", "Łódź",
        "\xA3\xF3"
        "d\x9F"},
    {"KoreanDate", "CP949", "2026년 12월", "2026\xB3\xE2 12\xBF\xF9"},
    {"Utf8IsCopied", "CP65001", "2026年12月", "2026年12月"},
    {"AsciiIsCopied", "CP1252", "10.12.2026 14:03:07", "10.12.2026 14:03:07"},
};

class CodePages : public testing::TestWithParam<Conversion> { };

INSTANTIATE_TEST_SUITE_P(Windows, CodePages, testing::ValuesIn(kConversions),
    [](const testing::TestParamInfo<Conversion>& row) { return std::string(row.param.name); });

TEST_P(CodePages, ConvertFromUtf8AndBack)
{
    LocaleCharset charset(GetParam().codePage);
    std::string encoded = "kept ";
    charset.appendFromUtf8(GetParam().utf8, encoded);
    EXPECT_EQ(encoded, "kept " + GetParam().encoded);
    std::string utf8 = "kept ";
    charset.appendToUtf8(GetParam().encoded, utf8);
    EXPECT_EQ(utf8, "kept " + GetParam().utf8);
}

TEST(WindowsCodePage, WhatItCannotHoldBecomesAQuestionMark)
{
    LocaleCharset western("CP1252");
    std::string out;
    western.appendFromUtf8("2026년, ü", out);
    EXPECT_EQ(out, "2026?, \xFC");
}

TEST(WindowsCodePage, AnUnknownNameCopiesTextUnchanged)
{
    for (const char* unknown : {"NO-SUCH-CHARSET", "CP99999", "CP"}) {
        LocaleCharset charset(unknown);
        EXPECT_TRUE(charset.isIdentity()) << unknown;
        std::string out;
        charset.appendFromUtf8("ü", out);
        EXPECT_EQ(out, "ü") << unknown;
    }
}

TEST(WindowsCodePage, TheUsersSetIsTheAnsiCodePage)
{
    const LocaleCharset user;
    EXPECT_EQ(user.name(), "CP" + std::to_string(GetACP()));
}

TEST(WindowsCodePage, FilesAreWrittenInTheAnsiCodePage)
{
    TempFolder folder;
    const std::string path = (folder.path() / "report.txt").string();
    QtOutputFiles files;
    auto file = files.create(path);
    ASSERT_TRUE(file->write("Grüße 5 °C\r\n"));
    ASSERT_TRUE(file->commit()) << file->errorText();

    std::string expected;
    LocaleCharset("CP" + std::to_string(GetACP())).appendFromUtf8("Grüße 5 °C\r\n", expected);
    std::ifstream in(path, std::ios::binary);
    const std::string written {std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, expected);
    if (GetACP() == 1252) {
        EXPECT_EQ(written,
            "Gr\xFC\xDF"
            "e 5 \xB0"
            "C\r\n");
    }
}

} // namespace
} // namespace clampmeter
