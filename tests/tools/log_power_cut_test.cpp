// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Power cuts under the real clampmeter-cli log publishing to a real mosquitto: its state
// folder and output on a small ext4 image, stopped dead by the file system's shutdown ioctl
// (nothing more reaches the disk from that instant, data or journal), the logger killed, the
// image mounted again (its journal replayed) and the logger started again. What the broker
// got must keep the numbering's promise: no number for two readings, and no reading lost
// without a gap in the numbers. Needs root and a loop device; skips saying why elsewhere.
// CLAMPMETER_POWER_CUTS sets the number of cuts (3 by default).

#include "cli_process.h"
#include "mqtt_test_broker.h"
#include "platform/pseudo_terminal.h"
#include "simulator/frame_encoder.h"

#include "../registry/temp_folder.h"
#include "../support/private_mount.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <linux/ioctl.h>
#include <map>
#include <random>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::fileText;
using test::TestBroker;
using test::TestSubscriber;
using test::waitFor;

constexpr auto kPatience = 60s;
// The shutdown ioctl of ext4 (and XFS), and its flag that flushes nothing, not even the
// journal: what a power cut does.
constexpr unsigned long kShutdown = _IOR('X', 125, std::uint32_t);
constexpr std::uint32_t kNoLogFlush = 2;

/// The readings the broker got, each number with every distinct message it came with.
struct Received {
    std::map<std::uint64_t, std::vector<std::string>> bySeq;
};

class LogPowerCut : public testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "power cuts need root (a loop device and mounts)";
        const std::string image = (m_temp.path() / "disk.img").string();
        const std::string log = (m_temp.path() / "image.log").string();
        if (std::system(("truncate -s 64M '" + image + "' && mkfs.ext4 -q -F '" + image + "' >'"
                + log + "' 2>&1")
                            .c_str())
            != 0)
            GTEST_SKIP() << "cannot make an ext4 image: " << fileText(log);
        FILE* losetup = ::popen(("losetup -f --show '" + image + "' 2>/dev/null").c_str(), "r");
        std::array<char, 256> name {};
        if (losetup != nullptr && std::fgets(name.data(), name.size(), losetup) != nullptr)
            m_loop = std::string(name.data(), std::strcspn(name.data(), "\n"));
        if (losetup != nullptr)
            ::pclose(losetup);
        if (m_loop.empty())
            GTEST_SKIP() << "no loop device here (losetup -f failed)";
        m_disk = m_temp.path() / "disk";
        std::filesystem::create_directories(m_disk);

        m_broker = std::make_unique<TestBroker>(m_temp.path() / "broker");
        ASSERT_TRUE(m_broker->prepare());
        ASSERT_TRUE(m_broker->start()) << m_broker->log();
        m_pty = PseudoTerminal::open();
        ASSERT_TRUE(m_pty.has_value());
        ::setenv("XDG_STATE_HOME", (m_disk / "state").c_str(), 1);
        ::setenv("CLAMPMETER_MQTT_PASSWORD", test::kBrokerPassword.data(), 1);
        m_feeder = std::thread([this] { feed(); });
    }
    void TearDown() override
    {
        m_ending = true;
        if (m_feeder.joinable())
            m_feeder.join();
        m_log.reset();
        if (m_broker)
            m_broker->stop();
        if (!m_loop.empty())
            std::system(("losetup -d " + m_loop).c_str());
    }

    /// Mounts the image, starts the logger on it and lets it log and publish for a while.
    clampmeter::test::PrivateMount startLogging(std::chrono::milliseconds time)
    {
        clampmeter::test::PrivateMount disk
            = clampmeter::test::PrivateMount::device(m_loop, m_disk, "ext4");
        if (!disk.unavailable().empty())
            return disk;
        const std::string err = (m_temp.path() / "log.err").string();
        std::filesystem::remove(err);
        m_log = std::make_unique<ChildProcess>(
            std::vector<std::string> {CLAMPMETER_CLI_PATH, "log", "--device", m_pty->slavePath(),
                "--format", "jsonl", "--output", (m_disk / "readings.jsonl").string(), "--mqtt",
                "mqtt://" + std::string(test::kBrokerUser)
                    + "@127.0.0.1:" + std::to_string(m_broker->port()),
                "--mqtt-id", "cut-meter"},
            (m_temp.path() / "log.out").string(), err);
        const bool publishing = waitFor(
            [&] {
                const std::string said = fileText(err);
                return said.find("reading the meter on") != std::string::npos
                    && said.find("publishing to the broker") != std::string::npos;
            },
            kPatience);
        EXPECT_TRUE(publishing) << fileText(err);
        m_feeding = true;
        std::this_thread::sleep_for(time);
        return disk;
    }

    /// The power goes: nothing more reaches the disk, and the logger dies.
    void cutPower()
    {
        const int fd = ::open(m_disk.c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd, 0);
        std::uint32_t flag = kNoLogFlush;
        ASSERT_EQ(::ioctl(fd, kShutdown, &flag), 0) << "the file system cannot be shut down";
        ::close(fd);
        m_feeding = false;
        m_log->signal(SIGKILL);
        m_log->wait(kPatience);
    }

    /// Frames numbered by their value, 1, 2, 3 …, while m_feeding is set.
    void feed()
    {
        while (!m_ending) {
            if (!m_feeding) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            const EncodedFrame frame
                = encodeFrame({.functionCode = 1, .mainValue = static_cast<float>(++m_fed)});
            m_pty->write(frame);
            std::this_thread::sleep_for(150ms);
        }
    }

    TempFolder m_temp;
    std::string m_loop;
    std::filesystem::path m_disk;
    std::unique_ptr<TestBroker> m_broker;
    std::unique_ptr<ChildProcess> m_log;
    std::optional<PseudoTerminal> m_pty;
    std::thread m_feeder;
    std::atomic<bool> m_feeding {false};
    std::atomic<bool> m_ending {false};
    std::atomic<int> m_fed {0};
};

/// The frame's number a reading message carries, or -1.
long frameNumber(const std::string& payload)
{
    const QJsonObject reading
        = QJsonDocument::fromJson(QByteArray::fromStdString(payload)).object();
    return reading.contains("mainValue") ? static_cast<long>(reading["mainValue"].toDouble()) : -1;
}

TEST_F(LogPowerCut, NoNumberIsGivenTwiceAndEveryLostReadingLeavesAGap)
{
    const char* wanted = std::getenv("CLAMPMETER_POWER_CUTS");
    const int cuts = wanted != nullptr ? std::max(1, std::atoi(wanted)) : 3;
    TestSubscriber subscriber(m_broker->port(), "cut-watcher", "clampmeter/cut-meter/reading");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> runTime(500, 2500);
    for (int cut = 0; cut < cuts; ++cut) {
        SCOPED_TRACE(cut);
        clampmeter::test::PrivateMount disk
            = startLogging(std::chrono::milliseconds(runTime(random)));
        if (!disk.unavailable().empty())
            GTEST_SKIP() << disk.unavailable();
        ASSERT_NO_FATAL_FAILURE(cutPower());
    }
    // A last run that ends cleanly sends what is still waiting.
    {
        clampmeter::test::PrivateMount disk = startLogging(2s);
        ASSERT_TRUE(disk.unavailable().empty()) << disk.unavailable();
        m_feeding = false;
        m_log->signal(SIGTERM);
        EXPECT_EQ(m_log->wait(kPatience), 0);
    }

    Received received;
    for (const std::string& payload : subscriber.payloads("clampmeter/cut-meter/reading")) {
        const auto seq = std::strtoull(payload.c_str() + 7, nullptr, 10);
        std::vector<std::string>& messages = received.bySeq[seq];
        if (std::find(messages.begin(), messages.end(), payload) == messages.end())
            messages.push_back(payload);
    }
    ASSERT_FALSE(received.bySeq.empty());
    std::uint64_t givenTwice = 0;
    std::uint64_t gaps = 0;
    std::uint64_t unnumberedLosses = 0;
    std::uint64_t previousSeq = 0;
    long previousFrame = 0;
    for (const auto& [seq, messages] : received.bySeq) {
        givenTwice += messages.size() > 1 ? 1 : 0;
        const long frame = frameNumber(messages.front());
        EXPECT_GT(frame, previousFrame) << "seq " << seq << " comes out of order";
        // Frames between two readings that never arrived must have left numbers unused;
        // the frame being read when the power went may never have become a reading at all.
        const auto missingFrames = static_cast<std::uint64_t>(frame - previousFrame - 1);
        const std::uint64_t unusedNumbers = seq - previousSeq - 1;
        gaps += unusedNumbers > 0 ? 1 : 0;
        if (missingFrames > unusedNumbers + 1)
            unnumberedLosses += missingFrames - unusedNumbers - 1;
        previousSeq = seq;
        previousFrame = frame;
    }
    std::cout << "power cuts: " << cuts << ", readings received: " << received.bySeq.size()
              << ", numbers given twice: " << givenTwice << ", gaps: " << gaps
              << ", frames lost without a gap: " << unnumberedLosses << '\n';
    EXPECT_EQ(givenTwice, 0U);
    EXPECT_EQ(unnumberedLosses, 0U);
}

} // namespace
} // namespace clampmeter::cli
