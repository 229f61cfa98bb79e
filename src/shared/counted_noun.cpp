// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/counted_noun.h"

namespace clampmeter {

std::string countedNoun(std::uint64_t count, std::string_view singular, std::string_view plural)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? singular : plural);
}

} // namespace clampmeter
