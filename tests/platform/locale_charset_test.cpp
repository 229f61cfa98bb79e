// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "../registry/temp_folder.h"
#include "platform/locale_charset.h"
#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ostream>
#include <regex>
#include <string>

namespace clampmeter {
namespace {

struct Conversion {
    const char* name;
    const char* charset;
    std::string utf8;
    std::string encoded;
};

void PrintTo(const Conversion& row, std::ostream* out)
{
    *out << row.name;
}

// Each direction must give the other's input back, except where a character is lost.
const Conversion kConversions[] = {
    {"Latin1", "ISO-8859-1", "Grüße 14:03",
        "Gr\xFC\xDF"
        "e 14:03"},
    {"Latin9Euro", "ISO-8859-15", "5 €", "5 \xA4"},
    {"WindowsCodePage", "CP1252", "5 €", "5 \x80"},
    {"KoreanDate", "EUC-KR", "2026년 12월 10일", "2026\xB3\xE2 12\xBF\xF9 10\xC0\xCF"},
    {"Utf8IsCopied", "UTF-8", "2026年12月10日", "2026年12月10日"},
    {"AsciiIsCopied", "ISO-8859-1", "10/12/26 14:03:07", "10/12/26 14:03:07"},
};

class Converts : public testing::TestWithParam<Conversion> { };

INSTANTIATE_TEST_SUITE_P(Charsets, Converts, testing::ValuesIn(kConversions),
    [](const testing::TestParamInfo<Conversion>& row) { return std::string(row.param.name); });

TEST_P(Converts, FromUtf8AndBack)
{
    LocaleCharset charset(GetParam().charset);
    std::string encoded = "kept ";
    charset.appendFromUtf8(GetParam().utf8, encoded);
    EXPECT_EQ(encoded, "kept " + GetParam().encoded);
    std::string utf8 = "kept ";
    charset.appendToUtf8(GetParam().encoded, utf8);
    EXPECT_EQ(utf8, "kept " + GetParam().utf8);
}

TEST(LocaleCharset, WhatTheSetCannotHoldBecomesAQuestionMark)
{
    LocaleCharset latin1("ISO-8859-1");
    std::string out;
    latin1.appendFromUtf8("5 € und 2026년, ü", out);
    EXPECT_EQ(out, "5 ? und 2026?, \xFC");

    std::string broken;
    latin1.appendFromUtf8("a\xFF"
                          "b\xC3",
        broken); // a stray byte, and a sequence cut short
    EXPECT_EQ(broken, "a?b?");

    LocaleCharset korean("EUC-KR");
    std::string utf8;
    korean.appendToUtf8("\xFF"
                        "a\xB3\xE2",
        utf8);
    EXPECT_EQ(utf8, "?a년");
}

TEST(LocaleCharset, LongTextGrowsTheOutputAsNeeded)
{
    LocaleCharset latin1("ISO-8859-1");
    std::string utf8;
    latin1.appendToUtf8(std::string(100000, '\xFC'), utf8);
    std::string expected;
    for (int i = 0; i < 100000; ++i)
        expected += "ü";
    EXPECT_EQ(utf8, expected);
}

TEST(LocaleCharset, AnUnknownCharsetCopiesTextUnchanged)
{
    LocaleCharset unknown("NO-SUCH-CHARSET");
    EXPECT_TRUE(unknown.isIdentity());
    std::string out;
    unknown.appendFromUtf8("ü", out);
    EXPECT_EQ(out, "ü");
}

/// Builds a locale into a fresh folder with localedef and points LOCPATH at it.
class BuiltLocale : public testing::Test {
protected:
    void build(const char* input, const char* charset, const char* name)
    {
        const std::string command = std::string("localedef -i ") + input + " -f " + charset + " '"
            + (m_folder.path() / name).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            GTEST_SKIP() << "localedef cannot build " << name << " here";
        ::setenv("LOCPATH", m_folder.path().c_str(), 1);
    }

    void TearDown() override
    {
        std::setlocale(LC_CTYPE, "C");
        std::setlocale(LC_TIME, "C");
        ::unsetenv("LOCPATH");
        ::unsetenv("LC_TIME");
    }

private:
    TempFolder m_folder;
};

TEST_F(BuiltLocale, TheClockGivesUtf8FromADateFormatInALegacyCharset)
{
    build("ko_KR", "EUC-KR", "ko_KR.EUC-KR");
    if (HasFatalFailure() || IsSkipped())
        return;
    ::setenv("LC_TIME", "ko_KR.EUC-KR", 1);

    SystemClock clock;
    const CaptureTime now = clock.now();

    EXPECT_TRUE(std::regex_match(now.date, std::regex("[0-9]{4}년 [0-9]{2}월 [0-9]{2}일")))
        << now.date;
    EXPECT_TRUE(std::regex_match(now.time, std::regex("[0-9]{2}시 [0-9]{2}분 [0-9]{2}초")))
        << now.time;
}

TEST_F(BuiltLocale, TheUsersCharsetIsTheOneTheProgramLocaleNames)
{
    build("de_DE", "ISO-8859-1", "de_DE.ISO-8859-1");
    if (HasFatalFailure() || IsSkipped())
        return;
    ASSERT_NE(std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1"), nullptr);

    LocaleCharset user;
    std::string out;
    user.appendFromUtf8("Grüße", out);
    EXPECT_EQ(user.name(), "ISO-8859-1");
    EXPECT_EQ(out,
        "Gr\xFC\xDF"
        "e");
}

} // namespace
} // namespace clampmeter
