// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace clampmeter {

/// One message for the broker.
struct BrokerMessage {
    std::string topic;
    std::string payload;
    int qos = 1; ///< 0 or 1
    bool retained = false;
};

/// What a connection attempt met.
struct ConnectFailure {
    enum class Kind {
        Unreachable, ///< no answer, refused connection, a broker that went away: try again
        LoginRefused, ///< the broker refused the user name, password or client
        Certificate, ///< the broker's certificate did not verify: no plain-text fall-back
    };
    Kind kind = Kind::Unreachable;
    std::string reason; ///< the library's or the broker's words
};

/// What the broker client reports, on the thread that uses it.
class BrokerEvents {
public:
    virtual ~BrokerEvents() = default;

    virtual void brokerConnected() = 0;
    virtual void brokerConnectFailed(const ConnectFailure& failure) = 0;
    /// The connection that was up went away.
    virtual void brokerLost(const std::string& reason) = 0;
    /// The broker acknowledged the message publish() numbered `id` (QoS 1 only).
    virtual void brokerDelivered(std::uint64_t id) = 0;
    /// disconnect() has ended the connection.
    virtual void brokerDisconnected() = 0;
};

/// A connection to one MQTT broker (the protocol is the library's). It never blocks: every
/// outcome comes back through BrokerEvents. It does not reconnect by itself.
class BrokerClient {
public:
    virtual ~BrokerClient() = default;

    /// Where the events go from now on (nullptr: nowhere).
    virtual void setEvents(BrokerEvents* events) = 0;
    /// Starts one attempt to connect (with the will message set at creation).
    virtual void connect() = 0;
    /// Queues a message; its number for brokerDelivered(), or nothing when it was not taken
    /// (no connection).
    virtual std::optional<std::uint64_t> publish(const BrokerMessage& message) = 0;
    /// Ends the connection cleanly once the messages out are acknowledged, or after a
    /// short while; brokerDisconnected() follows.
    virtual void disconnect() = 0;
};

} // namespace clampmeter
