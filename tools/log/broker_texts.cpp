// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/broker_texts.h"

#include "mqtt/mqtt_topics.h"
#include "reading_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace clampmeter::cli {
namespace {

constexpr std::size_t kMostDecimals = 6;

} // namespace

std::string meterDigits(std::string_view mainText)
{
    const std::size_t first = mainText.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::string_view text
        = mainText.substr(first, mainText.find_last_not_of(' ') + 1 - first);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc {} || end != text.data() + text.size()
        || !std::isfinite(value) || text.find_first_of("eE") != std::string_view::npos)
        return {};
    const std::size_t point = text.find('.');
    const std::size_t decimals
        = point == std::string_view::npos ? 0 : std::min(text.size() - point - 1, kMostDecimals);
    std::array<char, 64> digits {};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value,
        std::chars_format::fixed, static_cast<int>(decimals));
    return std::string(digits.data(), written.ptr);
}

std::optional<StateUpdate> stateUpdate(const MeasurementFrame& reading)
{
    if (reading.function == nullptr)
        return std::nullopt;
    const std::string_view name = stateTopicName(reading.function->code);
    if (name.empty())
        return std::nullopt;
    std::string value = meterDigits(reading.MainText);
    return StateUpdate {name, value.empty() ? std::string(kNoValue) : std::move(value)};
}

std::string_view brokerLinkWords(LinkState state)
{
    switch (state) {
    case LinkState::Searching:
        return "looking for the bridge";
    case LinkState::Receiving:
        return "reading";
    case LinkState::Opened:
    case LinkState::Silent:
        break;
    }
    return "no data";
}

} // namespace clampmeter::cli
