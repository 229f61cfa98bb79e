// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"
#include "log/link_watch.h"

#include <optional>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// What Home Assistant's MQTT sensors take for "no value now": the sensor becomes unknown.
inline constexpr std::string_view kNoValue = "None";

/// The retained state a reading sets on the broker.
struct StateUpdate {
    std::string_view name; ///< the topic's last level: "vac" … "energy"
    /// The number the meter shows, with the digits it shows ("231.4", "0.980"), or kNoValue
    /// for "OL", "----" and a blank panel.
    std::string value;
};

/// The state update of a reading of one of the seven functions; nothing for an unknown one.
std::optional<StateUpdate> stateUpdate(const MeasurementFrame& reading);

/// A panel's number as a plain number with the panel's decimals ("  231.4" and "0231.4"
/// give "231.4", "0.980" stays); empty for a text that is no number.
std::string meterDigits(std::string_view mainText);

/// The link's state as PREFIX/ID/link tells it: "reading", "no data" (also a port just
/// opened that has brought nothing yet) or "looking for the bridge".
std::string_view brokerLinkWords(LinkState state);

} // namespace clampmeter::cli
