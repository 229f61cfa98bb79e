// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_device_map.h"

#include <map>
#include <string>
#include <utility>

namespace clampmeter {

/// A serial device map held in memory: the demo registers its simulator's port here, and
/// tests describe the machines they need.
class StaticSerialDeviceMap : public SerialDeviceMap {
public:
    enum class Readability { Readable, Unreadable };
    using Values = std::map<std::string, std::string, std::less<>>;

    explicit StaticSerialDeviceMap(
        Values values = {}, Readability readability = Readability::Readable);

    bool openKey() override;
    bool queryValue(
        std::string_view valueName, std::span<char> buffer, std::uint32_t& length) override;
    void closeKey() override;

    /// Registers `data` under `name` from now on, as a driver does when a device comes.
    void setValue(const std::string& name, std::string data) { m_values[name] = std::move(data); }
    /// Takes `name` away, as a driver does when its device goes (a pulled cable).
    void removeValue(const std::string& name) { m_values.erase(name); }

    int openCount() const { return m_openCount; }
    int closeCount() const { return m_closeCount; }

private:
    Values m_values;
    Readability m_readability;
    int m_openCount = 0;
    int m_closeCount = 0;
};

/// Copies `text` and a terminator into `buffer` the way a registry query does; false (and
/// nothing written) when it does not fit.
bool copyRegisteredName(std::string_view text, std::span<char> buffer, std::uint32_t& length);

} // namespace clampmeter
