// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/paho_broker_client.h"

#include <MQTTAsync.h>

#include <QMetaObject>

#include <mutex>

namespace clampmeter {

/// What Paho's threads hold: the way back to the client, cut when the client goes.
struct PahoBrokerClient::Relay {
    std::mutex mutex;
    PahoBrokerClient* owner = nullptr;
    std::string tlsErrors; ///< OpenSSL's words during the attempt under way

    /// Runs `call(client)` on the client's thread, unless the client is gone by then.
    template <typename Call> void post(Call call)
    {
        const std::lock_guard lock(mutex);
        if (owner != nullptr) {
            PahoBrokerClient* client = owner;
            QMetaObject::invokeMethod(
                client, [client, call = std::move(call)] { call(*client); }, Qt::QueuedConnection);
        }
    }
};

namespace {

using Relay = PahoBrokerClient::Relay;

constexpr int kKeepAliveSeconds = 30;
constexpr int kConnectTimeoutSeconds = 10;
constexpr int kDisconnectTimeoutMs = 5000;

// The refusals of MQTT 3.1.1's CONNACK.
constexpr int kProtocolRefused = 1;
constexpr int kIdentifierRejected = 2;
constexpr int kServerUnavailable = 3;
constexpr int kBadUserNameOrPassword = 4;
constexpr int kNotAuthorised = 5;

Relay& relayOf(void* context)
{
    return *static_cast<Relay*>(context);
}

std::string failureText(int code, const char* message)
{
    switch (code) {
    case kProtocolRefused:
        return "unacceptable protocol version";
    case kIdentifierRejected:
        return "client id rejected";
    case kServerUnavailable:
        return "server unavailable";
    case kBadUserNameOrPassword:
        return "bad user name or password";
    case kNotAuthorised:
        return "not authorised";
    default:
        break;
    }
    if (message != nullptr && *message != '\0')
        return message;
    const char* text = MQTTAsync_strerror(code);
    return text != nullptr ? std::string(text) : "error " + std::to_string(code);
}

ConnectFailure connectFailure(Relay& relay, const MQTTAsync_failureData* response)
{
    const int code = response != nullptr ? response->code : MQTTASYNC_FAILURE;
    ConnectFailure failure;
    failure.reason = failureText(code, response != nullptr ? response->message : nullptr);
    if (code == kIdentifierRejected || code == kBadUserNameOrPassword || code == kNotAuthorised)
        failure.kind = ConnectFailure::Kind::LoginRefused;
    const std::lock_guard lock(relay.mutex);
    if (relay.tlsErrors.find("certificate verify failed") != std::string::npos) {
        failure.kind = ConnectFailure::Kind::Certificate;
        failure.reason = "certificate verify failed";
    }
    return failure;
}

int noteTlsError(const char* text, std::size_t length, void* context)
{
    Relay& relay = relayOf(context);
    const std::lock_guard lock(relay.mutex);
    relay.tlsErrors.append(text, length);
    return 0;
}

void connectionLost(void* context, char* cause)
{
    std::string reason = cause != nullptr && *cause != '\0' ? cause : "connection lost";
    MQTTAsync_free(cause);
    relayOf(context).post([reason](PahoBrokerClient& client) { client.onLost(reason); });
}

int messageArrived(void* /*context*/, char* topic, int /*length*/, MQTTAsync_message* message)
{
    // Nothing is subscribed; should anything come, it is let go.
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topic);
    return 1;
}

void connectSucceeded(void* context, MQTTAsync_successData* /*response*/)
{
    relayOf(context).post([](PahoBrokerClient& client) { client.onConnected(); });
}

void connectFailed(void* context, MQTTAsync_failureData* response)
{
    const ConnectFailure failure = connectFailure(relayOf(context), response);
    relayOf(context).post([failure](PahoBrokerClient& client) { client.onConnectFailed(failure); });
}

void published(void* context, MQTTAsync_successData* response)
{
    const int token = response != nullptr ? response->token : 0;
    relayOf(context).post([token](PahoBrokerClient& client) { client.onDelivered(token); });
}

void disconnected(void* context, MQTTAsync_successData* /*response*/)
{
    relayOf(context).post([](PahoBrokerClient& client) { client.onDisconnected(); });
}

void disconnectFailed(void* context, MQTTAsync_failureData* /*response*/)
{
    relayOf(context).post([](PahoBrokerClient& client) { client.onDisconnected(); });
}

} // namespace

std::unique_ptr<PahoBrokerClient> PahoBrokerClient::create(
    BrokerConnection connection, std::string& problem)
{
    MQTTAsync handle = nullptr;
    MQTTAsync_createOptions options = MQTTAsync_createOptions_initializer;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    options.sendWhileDisconnected = 0;
    const int rc = MQTTAsync_createWithOptions(&handle, connection.serverUri.c_str(),
        connection.clientId.c_str(), MQTTCLIENT_PERSISTENCE_NONE, nullptr, &options);
    if (rc != MQTTASYNC_SUCCESS) {
        problem
            = "cannot use the broker at " + connection.serverUri + ": " + failureText(rc, nullptr);
        return nullptr;
    }
    auto* relay = new Relay;
    std::unique_ptr<PahoBrokerClient> client(
        new PahoBrokerClient(std::move(connection), handle, relay));
    relay->owner = client.get();
    MQTTAsync_setCallbacks(handle, relay, connectionLost, messageArrived, nullptr);
    return client;
}

PahoBrokerClient::PahoBrokerClient(BrokerConnection connection, void* handle, Relay* relay)
    : m_connection(std::move(connection))
    , m_handle(handle)
    , m_relay(relay)
{
}

PahoBrokerClient::~PahoBrokerClient()
{
    {
        const std::lock_guard lock(m_relay->mutex);
        m_relay->owner = nullptr;
    }
    MQTTAsync handle = m_handle;
    // Paho's threads are stopped once its last client is destroyed: the relay is theirs no more.
    MQTTAsync_destroy(&handle);
    delete m_relay;
}

void PahoBrokerClient::connect()
{
    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.keepAliveInterval = kKeepAliveSeconds;
    options.cleansession = 1;
    options.connectTimeout = kConnectTimeoutSeconds;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    if (!m_connection.user.empty()) {
        options.username = m_connection.user.c_str();
        if (!m_connection.password.empty())
            options.password = m_connection.password.c_str();
    }
    MQTTAsync_willOptions will = MQTTAsync_willOptions_initializer;
    will.topicName = m_connection.will.topic.c_str();
    will.message = m_connection.will.payload.c_str();
    will.qos = m_connection.will.qos;
    will.retained = m_connection.will.retained ? 1 : 0;
    options.will = &will;
    MQTTAsync_SSLOptions tls = MQTTAsync_SSLOptions_initializer;
    if (m_connection.serverUri.starts_with("ssl://")) {
        tls.enableServerCertAuth = 1;
        tls.verify = 1;
        tls.trustStore = m_connection.caFile.empty() ? nullptr : m_connection.caFile.c_str();
        tls.disableDefaultTrustStore = m_connection.caFile.empty() ? 0 : 1;
        tls.ssl_error_cb = noteTlsError;
        tls.ssl_error_context = m_relay;
        options.ssl = &tls;
    }
    options.onSuccess = connectSucceeded;
    options.onFailure = connectFailed;
    options.context = m_relay;
    {
        const std::lock_guard lock(m_relay->mutex);
        m_relay->tlsErrors.clear();
    }
    if (const int rc = MQTTAsync_connect(m_handle, &options); rc != MQTTASYNC_SUCCESS) {
        const ConnectFailure failure {ConnectFailure::Kind::Unreachable, failureText(rc, nullptr)};
        QMetaObject::invokeMethod(
            this, [this, failure] { onConnectFailed(failure); }, Qt::QueuedConnection);
    }
}

std::optional<std::uint64_t> PahoBrokerClient::publish(const BrokerMessage& message)
{
    MQTTAsync_message out = MQTTAsync_message_initializer;
    out.payload = const_cast<char*>(message.payload.data());
    out.payloadlen = static_cast<int>(message.payload.size());
    out.qos = message.qos;
    out.retained = message.retained ? 1 : 0;
    MQTTAsync_responseOptions response = MQTTAsync_responseOptions_initializer;
    if (message.qos > 0) {
        response.onSuccess = published;
        response.context = m_relay;
    }
    if (MQTTAsync_sendMessage(m_handle, message.topic.c_str(), &out, &response)
        != MQTTASYNC_SUCCESS)
        return std::nullopt;
    const std::uint64_t id = ++m_lastId;
    if (message.qos > 0)
        m_tokens[response.token] = id;
    return id;
}

void PahoBrokerClient::disconnect()
{
    MQTTAsync_disconnectOptions options = MQTTAsync_disconnectOptions_initializer;
    options.timeout = kDisconnectTimeoutMs;
    options.onSuccess = disconnected;
    options.onFailure = disconnectFailed;
    options.context = m_relay;
    if (MQTTAsync_disconnect(m_handle, &options) != MQTTASYNC_SUCCESS)
        QMetaObject::invokeMethod(
            this, [this] { onDisconnected(); }, Qt::QueuedConnection);
}

void PahoBrokerClient::onConnected()
{
    if (m_events != nullptr)
        m_events->brokerConnected();
}

void PahoBrokerClient::onConnectFailed(const ConnectFailure& failure)
{
    if (m_events != nullptr)
        m_events->brokerConnectFailed(failure);
}

void PahoBrokerClient::onLost(const std::string& reason)
{
    m_tokens.clear();
    if (m_events != nullptr)
        m_events->brokerLost(reason);
}

void PahoBrokerClient::onDelivered(int token)
{
    const auto found = m_tokens.find(token);
    if (found == m_tokens.end())
        return;
    const std::uint64_t id = found->second;
    m_tokens.erase(found);
    if (m_events != nullptr)
        m_events->brokerDelivered(id);
}

void PahoBrokerClient::onDisconnected()
{
    m_tokens.clear();
    if (m_events != nullptr)
        m_events->brokerDisconnected();
}

} // namespace clampmeter
