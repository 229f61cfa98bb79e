// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/reg_variant.h"
#include "registry/registry_store.h"

#include <cstdint>
#include <string_view>

namespace clampmeter {

/// Keys and values below HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths.
///
/// `strSubKeyName` names a key below that branch: "Tool.exe" is a key right below it, "A\B" a
/// key two levels down. A name with an empty level (a leading or doubled backslash) is refused
/// by every method before the store sees it, so no name reaches the branch itself or leaves
/// it; one trailing backslash names the key without it; the empty name is the branch itself,
/// which may be read (SubKeyCount) but never changed. Texts are 8-bit strings passed to the
/// store unchanged.
/// No method throws, shows or logs anything: a failure gives the method's failure result, and
/// every key a method opens is closed before it returns. Debug builds trace caught faults to
/// std::clog under the method's name ("CreatKeyLG: ..."); release builds trace nothing.
class CDoReg {
public:
    /// The branch every sub-key name is appended to, with its trailing backslash.
    static constexpr std::string_view kBasePath
        = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\)";

    /// Works on `store`, which must outlive this object. The object keeps nothing else.
    explicit CDoReg(RegistryStore& store);

    /// -1 if the key exists afterwards (created now or already there), else 0.
    std::int32_t CreatKeyLG(std::string_view strSubKeyName) const;

    /// Writes `varValueData` as a text (`lngValueType` 1) or a 32-bit integer (4) into an
    /// existing key; true if it was written. Other types write nothing and give false.
    bool SetKeyValueLG(std::string_view strSubKeyName, std::string_view strValueName,
        std::int32_t lngValueType, const RegVariant& varValueData) const;

    /// The text of a type 1 value or the integer of a type 4 value; empty for any other type,
    /// a missing value or a missing key.
    RegVariant GetKeyValueLG(std::string_view strSubKeyName, std::string_view strValueName) const;

    /// Deletes the key with everything below it; true if it was deleted. An empty
    /// `strSubKeyName` deletes nothing: it would name the whole branch.
    bool DeleteKeyLG(std::string_view strSubKeyName) const;

    /// true if the value was deleted.
    bool DeleteKeyValueLG(std::string_view strSubKeyName, std::string_view strValueName) const;

    /// true if the key can be opened with full access (a readable-only key counts as absent).
    bool IsExistKeyLG(std::string_view strSubKeyName) const;

    /// Number of direct sub-keys, 0 … 32767; 0 if the key cannot be opened or has more.
    std::int16_t SubKeyCount(std::string_view strSubKeyName) const;

    /// Writes `strValueData` with a terminating zero as a type 1 value; true if written.
    bool SetStringValueLG(std::string_view strSubKeyName, std::string_view strValueName,
        std::string_view strValueData) const;

    /// Writes `lngValueData` as a type 4 value (4 bytes, least significant first).
    bool SetLongValueLG(std::string_view strSubKeyName, std::string_view strValueName,
        std::int32_t lngValueData) const;

private:
    bool DeleteSubKeyTree(RegKey parentKey, std::string_view strSubKeyName) const;

    RegistryStore& m_store;
};

} // namespace clampmeter
