// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mqtt/broker_client.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace clampmeter {

/// Where and how to connect.
struct BrokerConnection {
    std::string serverUri; ///< "tcp://host:port" or "ssl://host:port"
    std::string clientId;
    std::string user; ///< empty: no login
    std::string password;
    /// TLS only: the certificates trusted instead of the system's store; empty for the
    /// system's store. Either way the broker's certificate and host name must verify.
    std::string caFile;
    BrokerMessage will; ///< published by the broker when the connection breaks
};

/// A BrokerClient on Eclipse Paho's asynchronous C client (with TLS). Paho runs its own
/// threads: its callbacks only post the outcome to this object's thread (the Qt event loop),
/// where the events are delivered. Nothing is kept by Paho across runs (no persistence of
/// its own): the logger's backlog does that.
class PahoBrokerClient final : public QObject, public BrokerClient {
    Q_OBJECT

public:
    /// Nothing, with `problem`, when Paho refuses the address or the client id.
    static std::unique_ptr<PahoBrokerClient> create(
        BrokerConnection connection, std::string& problem);
    ~PahoBrokerClient() override;

    void setEvents(BrokerEvents* events) override { m_events = events; }
    void connect() override;
    std::optional<std::uint64_t> publish(const BrokerMessage& message) override;
    void disconnect() override;

    /// What Paho's threads hold to reach this object.
    struct Relay;

    // What Paho's threads posted, on this object's thread.
    void onConnected();
    void onConnectFailed(const ConnectFailure& failure);
    void onLost(const std::string& reason);
    void onDelivered(int token);
    void onDisconnected();

private:
    PahoBrokerClient(BrokerConnection connection, void* handle, Relay* relay);

    BrokerConnection m_connection;
    void* m_handle;
    Relay* m_relay;
    BrokerEvents* m_events = nullptr;
    std::uint64_t m_lastId = 0;
    /// Paho's token of each QoS 1 message out → its number. Paho numbers messages round
    /// from 1 to 65535, so a token is not given again while a window of messages is out.
    std::unordered_map<int, std::uint64_t> m_tokens;
};

} // namespace clampmeter
