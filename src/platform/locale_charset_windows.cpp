// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/locale_charset.h"

#include <charconv>
#include <windows.h>

namespace clampmeter {

namespace {

/// `text` in code page `from` as UTF-16; invalid bytes become U+FFFD.
std::wstring toWide(UINT from, std::string_view text)
{
    const int size
        = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    }
    return wide;
}

/// Appends UTF-16 `wide` to `out` in code page `to`; characters it cannot hold become "?".
void appendNarrow(UINT to, const std::wstring& wide, std::string& out)
{
    // The default character must be null for UTF-8, which holds every character anyway.
    const char* fallback = to == CP_UTF8 ? nullptr : "?";
    const int size = WideCharToMultiByte(
        to, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, fallback, nullptr);
    if (size <= 0)
        return;
    const std::size_t used = out.size();
    out.resize(used + static_cast<std::size_t>(size));
    WideCharToMultiByte(to, 0, wide.data(), static_cast<int>(wide.size()), out.data() + used, size,
        fallback, nullptr);
}

/// "CP1252" or "1252" gives 1252; anything else 0, which is no code page.
UINT codePageNamed(std::string_view name)
{
    if (name.size() > 2 && (name.substr(0, 2) == "CP" || name.substr(0, 2) == "cp"))
        name.remove_prefix(2);
    UINT codePage = 0;
    const auto result = std::from_chars(name.data(), name.data() + name.size(), codePage);
    if (result.ec != std::errc {} || result.ptr != name.data() + name.size())
        return 0;
    return codePage;
}

} // namespace

struct LocaleCharset::Converters {
    UINT codePage = CP_ACP;
};

LocaleCharset::LocaleCharset()
    : LocaleCharset("CP" + std::to_string(GetACP()))
{
}

LocaleCharset::LocaleCharset(std::string_view name)
    : m_name(name)
    , m_converters(std::make_unique<Converters>())
{
    m_converters->codePage = codePageNamed(name);
    // An unknown name leaves text as it is, as it does elsewhere.
    m_identity = m_converters->codePage == CP_UTF8 || m_converters->codePage == 0
        || !IsValidCodePage(m_converters->codePage);
}

LocaleCharset::~LocaleCharset() = default;

void LocaleCharset::appendFromUtf8(std::string_view utf8, std::string& out)
{
    if (m_identity || isAscii(utf8))
        out.append(utf8);
    else
        appendNarrow(m_converters->codePage, toWide(CP_UTF8, utf8), out);
}

void LocaleCharset::appendToUtf8(std::string_view text, std::string& out)
{
    if (m_identity || isAscii(text))
        out.append(text);
    else
        appendNarrow(CP_UTF8, toWide(m_converters->codePage, text), out);
}

} // namespace clampmeter
