// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace clampmeter {

/// The link's resynchronisation entry (receive threshold 0, then Timer1 on), for commands
/// that kept the program busy while bytes piled up in the port.
class LinkResynchroniser {
public:
    LinkResynchroniser() = default;
    LinkResynchroniser(const LinkResynchroniser&) = delete;
    LinkResynchroniser& operator=(const LinkResynchroniser&) = delete;
    virtual ~LinkResynchroniser() = default;

    virtual void resynchronise() = 0;
};

} // namespace clampmeter
