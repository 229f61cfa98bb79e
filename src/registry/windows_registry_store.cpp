// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/windows_registry_store.h"

#include "registry/system_registry_store.h"

#include <limits>
#include <string>

#include <windows.h>

namespace clampmeter {
namespace {

HKEY toHkey(RegKey key)
{
    return key == kHKeyLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
}

RegKey fromHkey(HKEY key)
{
    return reinterpret_cast<RegKey>(key);
}

// The ANSI functions take C strings: a name with a zero byte in it would silently name a
// different key or value, so it is refused instead.
bool hasZero(std::string_view text)
{
    return text.find('\0') != std::string_view::npos;
}

} // namespace

RegResult WindowsRegistryStore::createKey(RegKey parent, std::string_view subKey, RegKey& result)
{
    if (hasZero(subKey))
        return kErrorInvalidParameter;
    const std::string name(subKey);
    HKEY opened = nullptr;
    const LSTATUS status = RegCreateKeyExA(toHkey(parent), name.c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS)
        result = fromHkey(opened);
    return status;
}

RegResult WindowsRegistryStore::openKey(RegKey parent, std::string_view subKey, RegKey& result)
{
    if (hasZero(subKey))
        return kErrorInvalidParameter;
    const std::string name(subKey);
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExA(toHkey(parent), name.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (status == ERROR_SUCCESS)
        result = fromHkey(opened);
    return status;
}

RegResult WindowsRegistryStore::setValue(
    RegKey key, std::string_view valueName, std::uint32_t type, std::span<const std::uint8_t> data)
{
    if (hasZero(valueName) || data.size() > std::numeric_limits<DWORD>::max())
        return kErrorInvalidParameter;
    const std::string name(valueName);
    return RegSetValueExA(
        toHkey(key), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

RegResult WindowsRegistryStore::queryValue(RegKey key, std::string_view valueName,
    std::uint32_t& type, std::span<std::uint8_t> buffer, std::uint32_t& size)
{
    if (hasZero(valueName) || buffer.size() > std::numeric_limits<DWORD>::max())
        return kErrorInvalidParameter;
    const std::string name(valueName);
    DWORD valueType = 0;
    DWORD byteCount = static_cast<DWORD>(buffer.size());
    const LSTATUS status = RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &valueType,
        buffer.empty() ? nullptr : buffer.data(), &byteCount);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        type = valueType;
        size = byteCount;
    }
    return status;
}

RegResult WindowsRegistryStore::deleteKey(RegKey key, std::string_view subKey)
{
    if (hasZero(subKey))
        return kErrorInvalidParameter;
    const std::string name(subKey);
    return RegDeleteKeyA(toHkey(key), name.c_str());
}

RegResult WindowsRegistryStore::deleteValue(RegKey key, std::string_view valueName)
{
    if (hasZero(valueName))
        return kErrorInvalidParameter;
    const std::string name(valueName);
    return RegDeleteValueA(toHkey(key), name.c_str());
}

RegResult WindowsRegistryStore::enumKey(
    RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength)
{
    if (name.empty() || name.size() > std::numeric_limits<DWORD>::max())
        return kErrorInvalidParameter;
    DWORD length = static_cast<DWORD>(name.size());
    const LSTATUS status = RegEnumKeyExA(
        toHkey(key), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        nameLength = length;
    return status;
}

RegResult WindowsRegistryStore::closeKey(RegKey key)
{
    return RegCloseKey(toHkey(key));
}

std::unique_ptr<RegistryStore> openSystemRegistryStore()
{
    return std::make_unique<WindowsRegistryStore>();
}

} // namespace clampmeter
