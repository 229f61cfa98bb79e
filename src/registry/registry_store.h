// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace clampmeter {

/// An open key of a registry store. Opaque: only the store that issued it knows what it means.
using RegKey = std::uintptr_t;

/// Result of a store operation: 0 on success, else the system error code of the failure.
using RegResult = std::int32_t;

/// The root every path starts from. It is always open and closing it does nothing.
inline constexpr RegKey kHKeyLocalMachine = 0x80000002;

inline constexpr RegResult kErrorSuccess = 0;
inline constexpr RegResult kErrorFileNotFound = 2;
inline constexpr RegResult kErrorAccessDenied = 5;
inline constexpr RegResult kErrorInvalidHandle = 6;
inline constexpr RegResult kErrorInvalidParameter = 87;
inline constexpr RegResult kErrorBadPathname = 161;
inline constexpr RegResult kErrorBusy = 170;
inline constexpr RegResult kErrorMoreData = 234;
inline constexpr RegResult kErrorNoMoreItems = 259;
inline constexpr RegResult kErrorBadDb = 1009;
inline constexpr RegResult kErrorRegistryIoFailed = 1016;
inline constexpr RegResult kErrorKeyDeleted = 1018;

/// Value type codes.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

/// Longest name of one key level, in bytes of the 8-bit code page (without a terminator).
inline constexpr std::size_t kMaxKeyNameLength = 255;

/// The registry operations the registry access class needs, with the registry's own meaning
/// and return codes. Texts (key names, value names, string data) are 8-bit strings passed
/// through unchanged. A sub-key path names levels separated by one backslash; nothing else in
/// a name is special. Every key is opened or created with full access.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    /// Creates the key `subKey` below `parent`, with any missing levels, or opens it if it
    /// exists; on success `result` is a new open key. An empty `subKey` opens `parent` again.
    virtual RegResult createKey(RegKey parent, std::string_view subKey, RegKey& result) = 0;

    /// Opens the existing key `subKey` below `parent`; kErrorFileNotFound if it does not exist,
    /// kErrorAccessDenied if it exists but cannot be opened with full access.
    virtual RegResult openKey(RegKey parent, std::string_view subKey, RegKey& result) = 0;

    /// Writes the value `valueName` of `key` with type code `type` and the bytes `data`.
    virtual RegResult setValue(RegKey key, std::string_view valueName, std::uint32_t type,
        std::span<const std::uint8_t> data)
        = 0;

    /// Reads the value `valueName` of `key`: `type` and `size` (in bytes) are always reported
    /// when it exists. An empty `buffer` asks only for them; a buffer shorter than the data
    /// gives kErrorMoreData; otherwise the data is copied to the start of `buffer`.
    virtual RegResult queryValue(RegKey key, std::string_view valueName, std::uint32_t& type,
        std::span<std::uint8_t> buffer, std::uint32_t& size)
        = 0;

    /// Deletes the key `subKey` below `key` (an empty `subKey` deletes `key` itself) with its
    /// values. A key that still has sub-keys is not deleted: kErrorAccessDenied.
    virtual RegResult deleteKey(RegKey key, std::string_view subKey) = 0;

    /// Deletes the value `valueName` of `key`; kErrorFileNotFound if there is none.
    virtual RegResult deleteValue(RegKey key, std::string_view valueName) = 0;

    /// Copies the name of the direct sub-key at `index` (0, 1, 2, …) of `key` into `name`,
    /// followed by a zero byte, and sets `nameLength` to its length without the zero.
    /// kErrorNoMoreItems past the last sub-key; kErrorMoreData if `name` is too short.
    virtual RegResult enumKey(
        RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength)
        = 0;

    /// Closes a key opened or created by this store.
    virtual RegResult closeKey(RegKey key) = 0;

    /// Sets `count` to the number of direct sub-keys of `key`, or to a number above `limit`
    /// when there are more than that. This default counts with enumKey() at index 0, 1, 2, …
    /// until it fails, whatever the failure, and stops past `limit`; it always succeeds. A store
    /// may count in one step instead; it may then fail for a `key` that it cannot read.
    virtual RegResult countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count);

    /// Deletes the open `key` with its values and every key below it, each key after the keys
    /// below it and sub-keys in the order of enumKey(). A sub-key that cannot be opened with
    /// full access stops the deletion: the keys deleted before it stay deleted, it and the
    /// keys not reached yet stay. The result is that of deleting `key` itself at the end.
    /// This default goes key by key: deleteKey(), then enumKey() always at index 0 (every
    /// deletion removes the key that held it), openKey() and the same again one level down,
    /// and deleteKey() once more. A store may delete the same keys in one step instead.
    virtual RegResult deleteTree(RegKey key);
};

} // namespace clampmeter
