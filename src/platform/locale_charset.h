// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace clampmeter {

/// Converts text between UTF-8, which the program keeps its texts in, and one 8-bit
/// character set, by default the user's: the codeset of LC_CTYPE after the program's
/// setlocale() on POSIX, the ANSI code page on Windows. Every such set holds ASCII as it
/// is, so ASCII text, and all text when the set is UTF-8, is copied unchanged.
class LocaleCharset {
public:
    /// The user's character set.
    LocaleCharset();
    /// A named one: an iconv name such as "ISO-8859-1" (POSIX) or "CP1252" (Windows). An
    /// unknown name leaves text unchanged.
    explicit LocaleCharset(std::string_view name);
    ~LocaleCharset();
    LocaleCharset(const LocaleCharset&) = delete;
    LocaleCharset& operator=(const LocaleCharset&) = delete;

    const std::string& name() const { return m_name; }
    /// True when text is copied unchanged (UTF-8, or a set that cannot be converted to).
    bool isIdentity() const { return m_identity; }

    /// Appends `utf8` to `out` in this character set; a character the set cannot hold, and
    /// a byte that is not UTF-8, becomes "?".
    void appendFromUtf8(std::string_view utf8, std::string& out);
    /// Appends `text`, written in this character set, to `out` as UTF-8; a byte that is
    /// not valid in the set becomes "?".
    void appendToUtf8(std::string_view text, std::string& out);

private:
    struct Converters;

    std::string m_name;
    bool m_identity = false;
    std::unique_ptr<Converters> m_converters; ///< the platform's conversion state
};

/// True when every byte of `text` is 7-bit ASCII.
inline bool isAscii(std::string_view text)
{
    // No early exit: the compiler turns this into vector code, and files are mostly ASCII.
    unsigned bits = 0;
    for (const char c : text)
        bits |= static_cast<unsigned char>(c);
    return (bits & 0x80U) == 0;
}

} // namespace clampmeter
