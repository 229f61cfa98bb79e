// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/flat_json.h"

#include <charconv>

namespace clampmeter {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text)
        : m_text(text)
    {
    }

    bool atEnd()
    {
        skipBlanks();
        return m_at == m_text.size();
    }

    bool take(char c)
    {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::optional<std::string> string()
    {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (!escape(out))
                return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<FlatJsonValue> value()
    {
        skipBlanks();
        if (m_at >= m_text.size())
            return std::nullopt;
        if (m_text[m_at] == '"') {
            auto text = string();
            return text ? std::optional<FlatJsonValue>(std::move(*text)) : std::nullopt;
        }
        for (const auto& [word, value] :
            {std::pair {"true", FlatJsonValue(true)}, std::pair {"false", FlatJsonValue(false)},
                std::pair {"null", FlatJsonValue(std::monostate {})}}) {
            if (m_text.substr(m_at).starts_with(word)) {
                m_at += std::string_view(word).size();
                return value;
            }
        }
        return wholeNumber();
    }

private:
    void skipBlanks()
    {
        while (m_at < m_text.size()
            && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\r'
                || m_text[m_at] == '\n'))
            ++m_at;
    }

    std::optional<FlatJsonValue> wholeNumber()
    {
        std::int64_t number = 0;
        const char* begin = m_text.data() + m_at;
        const auto [end, error] = std::from_chars(begin, m_text.data() + m_text.size(), number);
        if (error != std::errc {} || end == begin)
            return std::nullopt;
        m_at += static_cast<std::size_t>(end - begin);
        if (m_at < m_text.size()
            && (m_text[m_at] == '.' || m_text[m_at] == 'e' || m_text[m_at] == 'E'))
            return std::nullopt;
        return number;
    }

    std::optional<unsigned> hex4()
    {
        if (m_text.size() - m_at < 4)
            return std::nullopt;
        unsigned value = 0;
        const char* begin = m_text.data() + m_at;
        const auto [end, error] = std::from_chars(begin, begin + 4, value, 16);
        if (error != std::errc {} || end != begin + 4)
            return std::nullopt;
        m_at += 4;
        return value;
    }

    bool escape(std::string& out)
    {
        if (m_at >= m_text.size())
            return false;
        const char c = m_text[m_at++];
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            return codePoint(out);
        default:
            return false;
        }
    }

    bool codePoint(std::string& out)
    {
        auto unit = hex4();
        if (!unit)
            return false;
        char32_t point = *unit;
        if (point >= 0xD800 && point < 0xDC00) {
            if (!(m_text.substr(m_at).starts_with("\\u")))
                return false;
            m_at += 2;
            const auto low = hex4();
            if (!low || *low < 0xDC00 || *low >= 0xE000)
                return false;
            point = 0x10000 + ((point - 0xD800) << 10) + (*low - 0xDC00);
        } else if (point >= 0xDC00 && point < 0xE000) {
            return false;
        }
        appendUtf8(out, point);
        return true;
    }

    static void appendUtf8(std::string& out, char32_t point)
    {
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | (point >> 6));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += static_cast<char>(0xE0 | (point >> 12));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (point >> 18));
            out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

void appendJsonString(std::string& out, std::string_view text)
{
    static constexpr std::string_view kHex = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

const FlatJsonValue* FlatJsonObject::find(std::string_view key) const
{
    for (const Member& member : m_members) {
        if (member.first == key)
            return &member.second;
    }
    return nullptr;
}

std::optional<std::string_view> FlatJsonObject::text(std::string_view key) const
{
    const FlatJsonValue* value = find(key);
    if (value == nullptr || !std::holds_alternative<std::string>(*value))
        return std::nullopt;
    return std::get<std::string>(*value);
}

std::optional<std::int64_t> FlatJsonObject::number(std::string_view key) const
{
    const FlatJsonValue* value = find(key);
    if (value == nullptr || !std::holds_alternative<std::int64_t>(*value))
        return std::nullopt;
    return std::get<std::int64_t>(*value);
}

std::optional<bool> FlatJsonObject::truth(std::string_view key) const
{
    const FlatJsonValue* value = find(key);
    if (value == nullptr || !std::holds_alternative<bool>(*value))
        return std::nullopt;
    return std::get<bool>(*value);
}

std::optional<FlatJsonObject> parseFlatJsonObject(std::string_view text)
{
    Reader reader(text);
    if (!reader.take('{'))
        return std::nullopt;
    std::vector<FlatJsonObject::Member> members;
    if (!reader.take('}')) {
        do {
            auto key = reader.string();
            if (!key || !reader.take(':'))
                return std::nullopt;
            auto value = reader.value();
            if (!value)
                return std::nullopt;
            members.emplace_back(std::move(*key), std::move(*value));
        } while (reader.take(','));
        if (!reader.take('}'))
            return std::nullopt;
    }
    if (!reader.atEnd())
        return std::nullopt;
    return FlatJsonObject(std::move(members));
}

} // namespace clampmeter
