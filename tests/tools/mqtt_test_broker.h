// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A real mosquitto for the logger's tests, on 127.0.0.1 on free ports with a configuration
// of its own: a password file made with mosquitto_passwd, an access list, a plain listener
// and a TLS listener whose CA and server certificate openssl makes here; and a subscriber on
// Paho's asynchronous client that keeps every message it gets.

#include "cli_process.h"

#include <MQTTAsync.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace clampmeter::cli::test {

inline constexpr std::string_view kBrokerUser = "meter";
inline constexpr std::string_view kBrokerPassword = "s3cret pass";

/// A port on 127.0.0.1 that nothing listened on a moment ago.
inline std::uint16_t freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

/// Whether something accepts connections on 127.0.0.1:`port`.
inline bool accepting(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return open;
}

/// Runs `command` through the shell, its output into `log`; true when it succeeded.
inline bool runQuietly(const std::string& command, const std::filesystem::path& log)
{
    return std::system((command + " >>'" + log.string() + "' 2>&1").c_str()) == 0;
}

/// mosquitto in `folder`: made ready by prepare(), started and stopped at will on the same
/// ports, so that it comes back where the logger left it. Its sessions, queued messages and
/// retained messages survive a stop (SIGTERM), as they would a restart of the service, and
/// what is a second old a kill.
class TestBroker {
public:
    explicit TestBroker(std::filesystem::path folder)
        : m_folder(std::move(folder))
    {
    }
    TestBroker(const TestBroker&) = delete;
    TestBroker& operator=(const TestBroker&) = delete;

    /// The password file, access list, certificates (a CA, the broker's for 127.0.0.1 and
    /// localhost, and another CA that signed nothing here) and the configuration.
    bool prepare()
    {
        namespace fs = std::filesystem;
        fs::create_directories(m_folder / "data");
        const std::string f = m_folder.string();
        const fs::path log = m_folder / "prepare.log";
        std::ofstream(m_folder / "acl") << "user " << kBrokerUser << "\ntopic readwrite #\n";
        std::ofstream(m_folder / "san.cnf") << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
        const std::string key = " -newkey rsa:2048 -nodes -days 2 ";
        const bool made
            = runQuietly("mosquitto_passwd -c -b '" + f + "/passwords' " + std::string(kBrokerUser)
                      + " '" + std::string(kBrokerPassword) + "'",
                  log)
            && runQuietly("openssl req -x509" + key + "-keyout '" + f + "/ca.key' -out '" + f
                    + "/ca.crt' -subj '/CN=clampmeter test CA'",
                log)
            && runQuietly("openssl req" + key + "-keyout '" + f + "/server.key' -out '" + f
                    + "/server.csr' -subj '/CN=localhost'",
                log)
            && runQuietly("openssl x509 -req -in '" + f + "/server.csr' -CA '" + f
                    + "/ca.crt' -CAkey '" + f + "/ca.key' -CAcreateserial -days 2 -out '" + f
                    + "/server.crt' -extfile '" + f + "/san.cnf'",
                log)
            && runQuietly("openssl req -x509" + key + "-keyout '" + f + "/other.key' -out '" + f
                    + "/other-ca.crt' -subj '/CN=another CA'",
                log);
        if (!made)
            return false;
        m_port = freePort();
        m_tlsPort = freePort();
        writeConfiguration();
        return m_port != 0 && m_tlsPort != 0;
    }

    /// Starts mosquitto and waits until both listeners take connections. The first start
    /// takes other ports when another program took these meanwhile; later starts keep them.
    bool start()
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_process = std::make_unique<ChildProcess>(
                std::vector<std::string> {
                    systemProgram("mosquitto"), "-c", (m_folder / "mosquitto.conf").string()},
                (m_folder / "mosquitto.out").string(), (m_folder / "mosquitto.log").string());
            if (!m_process->started())
                return false;
            const bool up = waitFor(
                [this] {
                    return !m_process->running() || (accepting(m_port) && accepting(m_tlsPort));
                },
                std::chrono::seconds(30));
            if (up && m_process->running()) {
                m_started = true;
                return true;
            }
            if (m_started)
                return false;
            m_port = freePort();
            m_tlsPort = freePort();
            writeConfiguration();
        }
        return false;
    }

    /// Stops it as a service is stopped (SIGTERM): it saves its sessions and messages.
    bool stop()
    {
        if (!m_process)
            return true;
        m_process->signal(SIGTERM);
        const bool ended = m_process->wait(std::chrono::seconds(30)).has_value();
        m_process.reset();
        return ended;
    }

    /// Freezes it (SIGSTOP): it takes messages into its socket and answers none.
    void freeze() const { m_process->signal(SIGSTOP); }

    /// Kills it (SIGKILL), as a crash would: only what it had saved survives.
    void kill() { m_process.reset(); }

    std::uint16_t port() const { return m_port; }
    std::uint16_t tlsPort() const { return m_tlsPort; }
    std::filesystem::path caFile() const { return m_folder / "ca.crt"; }
    std::filesystem::path otherCaFile() const { return m_folder / "other-ca.crt"; }
    std::string log() const { return fileText((m_folder / "mosquitto.log").string()); }

private:
    void writeConfiguration() const
    {
        const std::string f = m_folder.string();
        std::ofstream(m_folder / "mosquitto.conf")
            // As root it would read its files as the user mosquitto: it stays who it is.
            << "user root\n"
            << "per_listener_settings false\n"
            << "allow_anonymous false\n"
            << "password_file " << f << "/passwords\n"
            << "acl_file " << f << "/acl\n"
            << "persistence true\n"
            << "persistence_location " << f << "/data/\n"
            << "autosave_interval 1\n"
            << "log_dest stderr\n"
            << "log_type error\nlog_type warning\nlog_type notice\nlog_type information\n"
            << "listener " << m_port << " 127.0.0.1\n"
            << "listener " << m_tlsPort << " 127.0.0.1\n"
            << "cafile " << f << "/ca.crt\n"
            << "certfile " << f << "/server.crt\n"
            << "keyfile " << f << "/server.key\n";
    }

    std::filesystem::path m_folder;
    std::uint16_t m_port = 0;
    std::uint16_t m_tlsPort = 0;
    std::unique_ptr<ChildProcess> m_process;
    bool m_started = false;
};

/// One message as a subscriber got it.
struct ReceivedMessage {
    std::string topic;
    std::string payload;
    bool retained = false;
};

/// A subscriber to `filter` at QoS 1 on the plain listener with a session the broker keeps
/// (it gets what was published while the broker was away from it), reconnecting by itself.
class TestSubscriber {
public:
    TestSubscriber(std::uint16_t port, std::string clientId, std::string filter)
        : m_filter(std::move(filter))
    {
        const std::string uri = "tcp://127.0.0.1:" + std::to_string(port);
        MQTTAsync_create(
            &m_client, uri.c_str(), clientId.c_str(), MQTTCLIENT_PERSISTENCE_NONE, nullptr);
        MQTTAsync_setCallbacks(m_client, this, nullptr, &TestSubscriber::arrived, nullptr);
        MQTTAsync_setConnected(m_client, this, &TestSubscriber::connected);
        MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
        options.cleansession = 0;
        options.automaticReconnect = 1;
        options.minRetryInterval = 1;
        options.maxRetryInterval = 2;
        options.username = kBrokerUser.data();
        options.password = kBrokerPassword.data();
        MQTTAsync_connect(m_client, &options);
    }
    TestSubscriber(const TestSubscriber&) = delete;
    TestSubscriber& operator=(const TestSubscriber&) = delete;
    ~TestSubscriber() { MQTTAsync_destroy(&m_client); }

    /// Whether the subscription is in place.
    bool subscribed() const
    {
        const std::lock_guard lock(m_mutex);
        return m_subscribed;
    }

    std::vector<ReceivedMessage> messages() const
    {
        const std::lock_guard lock(m_mutex);
        return m_messages;
    }

    /// The payloads received on `topic`, in order.
    std::vector<std::string> payloads(const std::string& topic) const
    {
        std::vector<std::string> out;
        for (const ReceivedMessage& message : messages()) {
            if (message.topic == topic)
                out.push_back(message.payload);
        }
        return out;
    }

private:
    static void connected(void* context, char* /*cause*/)
    {
        auto* self = static_cast<TestSubscriber*>(context);
        MQTTAsync_responseOptions options = MQTTAsync_responseOptions_initializer;
        options.context = self;
        options.onSuccess = [](void* subscriber, MQTTAsync_successData*) {
            auto* me = static_cast<TestSubscriber*>(subscriber);
            const std::lock_guard lock(me->m_mutex);
            me->m_subscribed = true;
        };
        MQTTAsync_subscribe(self->m_client, self->m_filter.c_str(), 1, &options);
    }

    static int arrived(void* context, char* topic, int topicLength, MQTTAsync_message* message)
    {
        auto* self = static_cast<TestSubscriber*>(context);
        ReceivedMessage received;
        received.topic = topicLength > 0 ? std::string(topic, static_cast<std::size_t>(topicLength))
                                         : std::string(topic);
        received.payload.assign(static_cast<const char*>(message->payload),
            static_cast<std::size_t>(message->payloadlen));
        received.retained = message->retained != 0;
        {
            const std::lock_guard lock(self->m_mutex);
            self->m_messages.push_back(std::move(received));
        }
        MQTTAsync_freeMessage(&message);
        MQTTAsync_free(topic);
        return 1;
    }

    std::string m_filter;
    MQTTAsync m_client = nullptr;
    mutable std::mutex m_mutex;
    bool m_subscribed = false;
    std::vector<ReceivedMessage> m_messages;
};

} // namespace clampmeter::cli::test
