// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter {

/// A count and its noun in agreement, for messages: "1 reading", "0 readings", "2 bytes".
std::string countedNoun(std::uint64_t count, std::string_view singular, std::string_view plural);

} // namespace clampmeter
