// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace clampmeter {

/// A repeating timer of the main panel with a fixed interval.
class LinkTimer {
public:
    LinkTimer() = default;
    LinkTimer(const LinkTimer&) = delete;
    LinkTimer& operator=(const LinkTimer&) = delete;
    virtual ~LinkTimer() = default;

    /// Starts counting a full interval; a timer that is already running keeps its count,
    /// so only disable() followed by enable() restarts it.
    virtual void enable() = 0;
    virtual void disable() = 0;
    virtual bool isEnabled() const = 0;
};

} // namespace clampmeter
