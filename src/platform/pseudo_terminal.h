// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace clampmeter {

/// A raw pseudo-terminal pair (POSIX). The slave side looks like a serial port to whoever
/// opens its path; what is written to the master arrives there byte for byte.
///
/// The slave is set to raw mode at once and kept open here, so that bytes written before
/// a reader opens the slave are neither echoed nor changed, and a reader that closes and
/// reopens the port keeps working.
///
/// A serial reader claims its line for itself (TIOCEXCL) and gives it up when it closes it.
/// A reader that is killed never does, and since the slave stays open here the claim would
/// outlive it: only root could open the line again. So a write that finds the bytes of the
/// write before still unread, nobody reading them, clears the claim first.
class PseudoTerminal {
public:
    /// Opens a new pair, or returns nothing when the system has no pseudo-terminals left.
    static std::optional<PseudoTerminal> open();

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    /// The slave's device path, for example /dev/pts/3.
    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    /// Writes all bytes to the master side; false when the pair is hung up or closed. Clears a
    /// reader's claim on the line when what was written before is still unread.
    bool write(std::span<const std::uint8_t> bytes);

    /// Bytes written to the master that no reader of the slave has taken yet; -1 when
    /// the pair is closed.
    int unreadBytes() const;

    /// Whether a reader holds a claim on the line for itself (false where the system cannot
    /// tell).
    bool claimed() const;

    /// Closes both sides: a reader of the slave sees the line hang up.
    void hangUp();

private:
    PseudoTerminal(int master, int slave, std::string slavePath);

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace clampmeter
