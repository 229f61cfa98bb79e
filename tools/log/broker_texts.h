// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"
#include "log/link_watch.h"

#include <optional>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// The retained state a reading sets on the broker.
struct StateUpdate {
    std::string_view name; ///< the topic's last level: "vac" … "energy"
    std::string value; ///< the reading's value (MainValue), the shortest text that reads back
};

/// The state update of a reading whose panel shows a number for one of the seven functions;
/// nothing for "OL", "----", an unknown function or a value that is not finite.
std::optional<StateUpdate> stateUpdate(const MeasurementFrame& reading);

/// The link's state as PREFIX/ID/link tells it: "reading", "no data" (also a port just
/// opened that has brought nothing yet) or "looking for the bridge".
std::string_view brokerLinkWords(LinkState state);

} // namespace clampmeter::cli
