// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// One field as RFC 4180 writes it: as it is, or in double quotes with every quote doubled
/// when it holds a comma, a double quote, a carriage return or a line feed.
std::string csvField(std::string_view text);

/// The fields joined by commas, each by csvField(), without a line end.
std::string csvRecord(std::initializer_list<std::string_view> fields);

} // namespace clampmeter::cli
