// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"

#include "registry/opened_key.h"

#include <array>
#include <exception>
#include <iostream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

constexpr std::uint32_t kMaxSubKeyCount = std::numeric_limits<std::int16_t>::max();

// Called from a catch block: traces the fault being handled under `label` in debug builds.
void traceFault([[maybe_unused]] std::string_view label) noexcept
{
#ifndef NDEBUG
    try {
        try {
            throw;
        } catch (const std::exception& fault) {
            std::clog << label << ' ' << fault.what() << '\n';
        } catch (...) {
            std::clog << label << " unknown fault\n";
        }
    } catch (...) {
        // A trace that cannot be written is not worth a second fault.
    }
#endif
}

/// What a method does with the key it names.
enum class NameUse { Reading, Changing };

/// The full path of the key a caller's sub-key name designates, or nothing when the name
/// would reach the branch itself or leave it. Checked here, the same for every store, before
/// the store sees the name: a leading or doubled backslash (an empty level) is refused, as
/// the registry refuses a sub-key name that begins with one and would otherwise resolve it
/// to the branch; one trailing backslash names the key without it. The empty name is the
/// branch itself: it may be read (SubKeyCount("") counts the programs), never changed.
std::optional<std::string> keyPath(std::string_view strSubKeyName, NameUse use)
{
    std::string path(CDoReg::kBasePath);
    if (strSubKeyName.empty()) {
        if (use == NameUse::Changing)
            return std::nullopt;
        return path;
    }
    std::string_view name = strSubKeyName;
    if (name.ends_with('\\'))
        name.remove_suffix(1);
    for (std::string_view rest = name;;) {
        const std::size_t end = rest.find('\\');
        if (rest.substr(0, end).empty())
            return std::nullopt; // an empty level
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    path += name;
    return path;
}

/// Opens the key a caller's name designates; kErrorBadPathname, with no store call, for a
/// name that keyPath refuses.
RegResult openNamed(OpenedKey& key, std::string_view strSubKeyName, NameUse use)
{
    const std::optional<std::string> path = keyPath(strSubKeyName, use);
    return path ? key.open(kHKeyLocalMachine, *path) : kErrorBadPathname;
}

std::array<std::uint8_t, 4> dwordBytes(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

} // namespace

CDoReg::CDoReg(RegistryStore& store)
    : m_store(store)
{
}

std::int32_t CDoReg::CreatKeyLG(std::string_view strSubKeyName) const
{
    try {
        const std::optional<std::string> path = keyPath(strSubKeyName, NameUse::Changing);
        OpenedKey key(m_store);
        return path && key.create(kHKeyLocalMachine, *path) == kErrorSuccess ? -1 : 0;
    } catch (...) {
        traceFault("CreatKeyLG:");
        return 0;
    }
}

bool CDoReg::SetKeyValueLG(std::string_view strSubKeyName, std::string_view strValueName,
    std::int32_t lngValueType, const RegVariant& varValueData) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Changing) != kErrorSuccess)
            return false;
        if (lngValueType == static_cast<std::int32_t>(kRegSz))
            return SetStringValueLG(strSubKeyName, strValueName, regVariantToText(varValueData));
        if (lngValueType == static_cast<std::int32_t>(kRegDword)) {
            const auto bytes = dwordBytes(regVariantToLong(varValueData));
            return m_store.setValue(key.handle(), strValueName, kRegDword, bytes) == kErrorSuccess;
        }
        return false;
    } catch (...) {
        traceFault("SetKeyValueLG:");
        return false;
    }
}

RegVariant CDoReg::GetKeyValueLG(
    std::string_view strSubKeyName, std::string_view strValueName) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Reading) != kErrorSuccess)
            return {};
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (m_store.queryValue(key.handle(), strValueName, type, {}, size) != kErrorSuccess)
            return {};
        if (type == kRegSz) {
            std::vector<std::uint8_t> buffer(size, 0);
            std::uint32_t got = size;
            // The value may have changed since it was sized: take only what is there now.
            if (m_store.queryValue(key.handle(), strValueName, type, buffer, got) != kErrorSuccess
                || type != kRegSz || got > buffer.size())
                return {};
            // Only a terminating zero is dropped: text written without one keeps every byte.
            if (got > 0 && buffer[got - 1] == 0)
                --got;
            return std::string(buffer.begin(), buffer.begin() + got);
        }
        if (type == kRegDword) {
            std::array<std::uint8_t, 4> bytes {};
            std::uint32_t got = bytes.size();
            if (m_store.queryValue(key.handle(), strValueName, type, bytes, got) != kErrorSuccess
                || type != kRegDword)
                return {};
            const std::uint32_t bits = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16)
                | (static_cast<std::uint32_t>(bytes[3]) << 24);
            return static_cast<std::int32_t>(bits);
        }
        return {};
    } catch (...) {
        traceFault("GetKeyValueLG:");
        return {};
    }
}

bool CDoReg::DeleteKeyLG(std::string_view strSubKeyName) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Changing) != kErrorSuccess)
            return false;
        if (m_store.deleteKey(key.handle(), {}) == kErrorSuccess)
            return true;
        return DeleteSubKeyTree(key.handle(), {});
    } catch (...) {
        traceFault("DeleteKeyLG:");
        return false;
    }
}

bool CDoReg::DeleteSubKeyTree(RegKey parentKey, std::string_view strSubKeyName) const
{
    try {
        OpenedKey key(m_store);
        if (key.open(parentKey, strSubKeyName) != kErrorSuccess)
            return false;
        return m_store.deleteTree(key.handle()) == kErrorSuccess;
    } catch (...) {
        traceFault("DeleteSubKeyTree:");
        return false;
    }
}

bool CDoReg::DeleteKeyValueLG(std::string_view strSubKeyName, std::string_view strValueName) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Changing) != kErrorSuccess)
            return false;
        return m_store.deleteValue(key.handle(), strValueName) == kErrorSuccess;
    } catch (...) {
        traceFault("DeleteKeyValueLG:");
        return false;
    }
}

bool CDoReg::IsExistKeyLG(std::string_view strSubKeyName) const
{
    try {
        OpenedKey key(m_store);
        return openNamed(key, strSubKeyName, NameUse::Reading) == kErrorSuccess;
    } catch (...) {
        traceFault("IsExistKeyLG:");
        return false;
    }
}

std::int16_t CDoReg::SubKeyCount(std::string_view strSubKeyName) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Reading) != kErrorSuccess)
            return 0;
        std::uint32_t count = 0;
        if (m_store.countSubKeys(key.handle(), kMaxSubKeyCount, count) != kErrorSuccess)
            return 0;
        if (count > kMaxSubKeyCount)
            throw std::overflow_error("sub-key count does not fit 16 bits");
        return static_cast<std::int16_t>(count);
    } catch (...) {
        traceFault("SubKeyCount:");
        return 0;
    }
}

bool CDoReg::SetStringValueLG(std::string_view strSubKeyName, std::string_view strValueName,
    std::string_view strValueData) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Changing) != kErrorSuccess)
            return false;
        if (strValueData.size() >= std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("text too long for a value");
        std::vector<std::uint8_t> bytes(strValueData.begin(), strValueData.end());
        bytes.push_back(0);
        return m_store.setValue(key.handle(), strValueName, kRegSz, bytes) == kErrorSuccess;
    } catch (...) {
        traceFault("SetStringValueLG:");
        return false;
    }
}

bool CDoReg::SetLongValueLG(
    std::string_view strSubKeyName, std::string_view strValueName, std::int32_t lngValueData) const
{
    try {
        OpenedKey key(m_store);
        if (openNamed(key, strSubKeyName, NameUse::Changing) != kErrorSuccess)
            return false;
        const auto bytes = dwordBytes(lngValueData);
        return m_store.setValue(key.handle(), strValueName, kRegDword, bytes) == kErrorSuccess;
    } catch (...) {
        traceFault("SetLongValueLG:");
        return false;
    }
}

} // namespace clampmeter
