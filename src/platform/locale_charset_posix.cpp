// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/locale_charset.h"

#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace clampmeter {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1); // NOLINT: iconv's own failure value

bool namesUtf8(std::string_view name)
{
    std::string letters;
    for (const char c : name) {
        if (c != '-' && c != '_')
            letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return letters == "UTF8";
}

/// Length of the UTF-8 sequence starting at `text`, at least 1 and never past the end.
std::size_t sequenceLength(const char* text, std::size_t left)
{
    std::size_t length = 1;
    while (length < left && (static_cast<unsigned char>(text[length]) & 0xC0U) == 0x80U)
        ++length;
    return length;
}

/// Runs `converter` over all of `in`, replacing what it cannot convert by "?".
void convert(iconv_t converter, bool fromUtf8, std::string_view in, std::string& out)
{
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* source = const_cast<char*>(in.data()); // iconv does not write through it
    std::size_t sourceLeft = in.size();
    std::size_t used = out.size();
    out.resize(used + in.size() + in.size() / 2 + 16);
    for (;;) {
        char* target = out.data() + used;
        std::size_t room = out.size() - used;
        const std::size_t result = sourceLeft == 0
            ? iconv(converter, nullptr, nullptr, &target, &room)
            : iconv(converter, &source, &sourceLeft, &target, &room);
        const int error = errno;
        used = static_cast<std::size_t>(target - out.data());
        if (result != static_cast<std::size_t>(-1)) {
            if (sourceLeft == 0)
                break;
            continue;
        }
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (sourceLeft == 0)
            break;
        // EILSEQ or EINVAL: one character that cannot be converted, or cut short.
        const std::size_t skip = fromUtf8 ? sequenceLength(source, sourceLeft) : 1;
        source += skip;
        sourceLeft -= skip;
        if (used == out.size())
            out.resize(out.size() * 2);
        out[used++] = '?';
    }
    out.resize(used);
}

} // namespace

struct LocaleCharset::Converters {
    iconv_t fromUtf8 = kNoConverter;
    iconv_t toUtf8 = kNoConverter;

    ~Converters()
    {
        if (fromUtf8 != kNoConverter)
            iconv_close(fromUtf8);
        if (toUtf8 != kNoConverter)
            iconv_close(toUtf8);
    }
};

LocaleCharset::LocaleCharset()
    : LocaleCharset(::nl_langinfo(CODESET))
{
}

LocaleCharset::LocaleCharset(std::string_view name)
    : m_name(name)
    , m_identity(namesUtf8(name))
{
    if (m_identity)
        return;
    auto converters = std::make_unique<Converters>();
    converters->fromUtf8 = iconv_open(m_name.c_str(), "UTF-8");
    converters->toUtf8 = iconv_open("UTF-8", m_name.c_str());
    if (converters->fromUtf8 == kNoConverter || converters->toUtf8 == kNoConverter)
        m_identity = true;
    else
        m_converters = std::move(converters);
}

LocaleCharset::~LocaleCharset() = default;

void LocaleCharset::appendFromUtf8(std::string_view utf8, std::string& out)
{
    if (m_identity || isAscii(utf8))
        out.append(utf8);
    else
        convert(m_converters->fromUtf8, true, utf8, out);
}

void LocaleCharset::appendToUtf8(std::string_view text, std::string& out)
{
    if (m_identity || isAscii(text))
        out.append(text);
    else
        convert(m_converters->toUtf8, false, text, out);
}

} // namespace clampmeter
