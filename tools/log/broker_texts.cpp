// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/broker_texts.h"

#include "mqtt/mqtt_topics.h"
#include "reading_json.h"

#include <charconv>

namespace clampmeter::cli {
namespace {

bool isNumberText(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc {} && end == text.data() + text.size();
}

} // namespace

std::optional<StateUpdate> stateUpdate(const MeasurementFrame& reading)
{
    if (reading.function == nullptr || !isNumberText(reading.MainText))
        return std::nullopt;
    std::string value = shortestFloatText(reading.MainValue);
    if (value.empty())
        return std::nullopt;
    return StateUpdate {stateTopicName(reading.function->code), std::move(value)};
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
