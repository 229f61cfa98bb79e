// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reaching the bridge as the start does, also again after a loss: the map read anew each
// time, a pinned device taken as it is, and failures told in the start's words and in one
// line for a program that goes on looking.

#include "link/bridge_connection.h"
#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"

#include <gtest/gtest.h>

#include <vector>

namespace clampmeter {
namespace {

class RecordingOpener {
public:
    PortOpener opener()
    {
        return [this](const std::string& port) {
            opened.push_back(port);
            return results.empty() ? PortOpenResult {} : next();
        };
    }
    PortOpenResult next()
    {
        PortOpenResult result = results.front();
        results.erase(results.begin());
        return result;
    }
    std::vector<PortOpenResult> results;
    std::vector<std::string> opened;
};

TEST(BridgeConnection, TheMapIsReadAnewAtEveryAttemptSoANewNameIsFound)
{
    StaticSerialDeviceMap map;
    RecordingOpener port;
    const BridgeAttempt missing = attemptBridge(map, {}, port.opener());
    EXPECT_FALSE(missing.connected());
    EXPECT_EQ(missing.failure, kNoBridgeMessage);
    EXPECT_EQ(missing.failureLine, "no CP210x bridge found");
    EXPECT_TRUE(port.opened.empty()) << "a port was opened without a bridge";

    map.setValue(std::string(kBridgeValueName), "/dev/ttyUSB1");
    const BridgeAttempt found = attemptBridge(map, {}, port.opener());
    EXPECT_EQ(found.port, "/dev/ttyUSB1");
    EXPECT_EQ(port.opened, std::vector<std::string> {"/dev/ttyUSB1"});
}

TEST(BridgeConnection, APortThatWillNotOpenIsToldAsAtTheStartAndAPinnedDeviceSkipsTheMap)
{
    StaticSerialDeviceMap map(
        StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), "/dev/ttyUSB0"}});
    RecordingOpener port;
    port.results = {{PortOpenError::PermissionDenied, "Permission denied", "dialout", ""}, {}};
    const BridgeAttempt refused = attemptBridge(map, {}, port.opener());
    EXPECT_FALSE(refused.connected());
    EXPECT_EQ(refused.failure,
        portOpenFailureMessage(
            "/dev/ttyUSB0", {PortOpenError::PermissionDenied, "Permission denied", "dialout", ""}));

    const int looks = map.openCount();
    const BridgeAttempt pinned = attemptBridge(map, "/dev/pts/7", port.opener());
    EXPECT_EQ(pinned.port, "/dev/pts/7");
    EXPECT_EQ(map.openCount(), looks) << "the map was read for a pinned device";
}

TEST(BridgeConnection, OneLineSaysWhyWithoutTheStartsAdviceToStartAgain)
{
    StaticSerialDeviceMap map(
        StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), "/dev/ttyUSB0"}});
    const std::vector<std::pair<PortOpenResult, std::string>> cases {
        {{PortOpenError::PermissionDenied, "Permission denied", "dialout", ""},
            "cannot open /dev/ttyUSB0: Permission denied (clampmeter-cli ports says what to "
            "do)"},
        {{PortOpenError::NotFound, "No such file or directory", "", ""},
            "cannot open /dev/ttyUSB0: No such file or directory"},
        {{PortOpenError::InUse, "Device or resource busy", "", ""},
            "cannot open /dev/ttyUSB0: Device or resource busy"},
        {{PortOpenError::InUse, "Device or resource busy", "", "minicom (process 7)"},
            "cannot open /dev/ttyUSB0: Device or resource busy (held by minicom (process 7))"},
        {{PortOpenError::Busy, "Device or resource busy", "", ""},
            "cannot open /dev/ttyUSB0: Device or resource busy (no program of this user holds "
            "it open)"},
        {{PortOpenError::Other, "", "", ""}, "cannot open /dev/ttyUSB0"},
    };
    for (const auto& [result, line] : cases) {
        RecordingOpener port;
        port.results = {result};
        const BridgeAttempt attempt = attemptBridge(map, {}, port.opener());
        EXPECT_EQ(attempt.failure, portOpenFailureMessage("/dev/ttyUSB0", result));
        EXPECT_EQ(attempt.failureLine, line);
    }

    StaticSerialDeviceMap unreadable({}, StaticSerialDeviceMap::Readability::Unreadable);
    RecordingOpener unused;
    EXPECT_EQ(attemptBridge(unreadable, {}, unused.opener()).failureLine,
        "cannot read the list of serial devices (RegOpenKey error!)");
}

} // namespace
} // namespace clampmeter
