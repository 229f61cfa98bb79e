// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/load_sequence.h"
#include "link/static_serial_device_map.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

/// Records every step of the start, and what the shared state looked like at each.
class RecordingHost final : public LoadHost {
public:
    explicit RecordingHost(const VarModule& vars)
        : m_vars(vars)
    {
    }

    void writeListHeaders() override { log("headers"); }
    void applyWindowStyle() override { log("style"); }
    void showFatalMessage(std::string_view message) override
    {
        log("message:" + std::string(message));
    }
    PortOpenResult openPort(const std::string& portName) override
    {
        log("open:" + portName);
        return openResult;
    }
    void startResynchronising() override { log("timer1"); }

    PortOpenResult openResult;
    std::vector<std::string> steps;
    std::vector<std::int32_t> countAtStep;

private:
    void log(std::string step)
    {
        steps.push_back(std::move(step));
        countAtStep.push_back(m_vars.DataCount);
    }
    const VarModule& m_vars;
};

using Values = std::map<std::string, std::string, std::less<>>;

TEST(LoadHandler, RunsTheStartInOrderAndOpensTheRegisteredPort)
{
    auto vars = std::make_unique<VarModule>();
    vars->DataCount = 12;
    vars->XScale = 10;
    RecordingHost host(*vars);
    StaticSerialDeviceMap map(Values {{std::string(kBridgeValueName), "COM3"}});

    EXPECT_EQ(runLoadHandler(*vars, map, host), LoadOutcome::Running);

    EXPECT_EQ(host.steps, (std::vector<std::string> {"headers", "style", "open:COM3", "timer1"}));
    EXPECT_EQ(host.countAtStep.front(), 0) << "start values are set before anything else";
    EXPECT_EQ(vars->XScale, 100);
    EXPECT_EQ(map.openCount(), map.closeCount());
}

TEST(LoadHandler, OpensEveryRegisteredNameItselfNeverAnotherPort)
{
    // Past COM16, or misspelt, a name once opened COM1: another device, read in silence.
    for (const char* name :
        {"COM1", "COM16", "COM17", "COM256", "com3", " COM3", "COM03", "/dev/ttyUSB10"}) {
        auto vars = std::make_unique<VarModule>();
        RecordingHost host(*vars);
        StaticSerialDeviceMap map(Values {{std::string(kBridgeValueName), name}});
        EXPECT_EQ(runLoadHandler(*vars, map, host), LoadOutcome::Running) << name;
        EXPECT_EQ(host.steps.at(2), "open:" + std::string(name));
    }
}

struct FailureCase {
    const char* name;
    std::unique_ptr<SerialDeviceMap> (*makeMap)();
    std::string message;
};

void PrintTo(const FailureCase& row, std::ostream* out)
{
    *out << row.name;
}

class LoadFailureTest : public testing::TestWithParam<FailureCase> { };

TEST_P(LoadFailureTest, ShowsOneMessageAndEndsBeforeTheWindow)
{
    auto vars = std::make_unique<VarModule>();
    RecordingHost host(*vars);
    auto map = GetParam().makeMap();

    EXPECT_EQ(runLoadHandler(*vars, *map, host), LoadOutcome::EndProgram);

    EXPECT_EQ(host.steps,
        (std::vector<std::string> {"headers", "style", "message:" + GetParam().message}));
}

INSTANTIATE_TEST_SUITE_P(Maps, LoadFailureTest,
    testing::Values(FailureCase {"UnreadableMap",
                        [] {
                            return std::unique_ptr<SerialDeviceMap>(new StaticSerialDeviceMap(
                                {}, StaticSerialDeviceMap::Readability::Unreadable));
                        },
                        "RegOpenKey error!"},
        FailureCase {"NoBridge",
            [] {
                return std::unique_ptr<SerialDeviceMap>(
                    new StaticSerialDeviceMap(Values {{R"(\Device\Serial0)", "COM1"}}));
            },
            "No com-port! Please check out the line-connection and the "
            "device-driver-installation!"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LoadHandler, PortThatCannotBeOpenedIsReportedWithTheSystemsReason)
{
    auto vars = std::make_unique<VarModule>();
    RecordingHost host(*vars);
    host.openResult = {PortOpenError::PermissionDenied, "Permission denied", "uucp", ""};
    StaticSerialDeviceMap map(Values {{std::string(kBridgeValueName), "/dev/ttyUSB0"}});

    EXPECT_EQ(runLoadHandler(*vars, map, host), LoadOutcome::EndProgram);

    ASSERT_EQ(host.steps.size(), 4U);
    EXPECT_EQ(host.steps[2], "open:/dev/ttyUSB0");
    // Both ways to the port: the device's group, or the package's device rule (which needs
    // the meter plugged in again when the package came after it).
    EXPECT_EQ(host.steps[3],
        "message:Cannot open the meter's serial port /dev/ttyUSB0: Permission denied.\n\n"
        "Your user is not allowed to use the port: it is not in the group that owns the device "
        "(uucp). Add it with\n\n    sudo usermod -aG uucp $USER\n\nthen log out and log in "
        "again.\n\nOr install the clampmeter package: its udev rule (60-clampmeter.rules) gives "
        "the user at the computer access to the bridge. If it is installed already, unplug the "
        "meter and plug it in again.");
}

TEST(PortOpenFailureMessage, PermissionAdviceNamesDialoutWhenTheGroupIsUnknown)
{
    const std::string message = portOpenFailureMessage(
        "/dev/ttyUSB0", {PortOpenError::PermissionDenied, "Permission denied", "", ""});
    EXPECT_NE(message.find("sudo usermod -aG dialout $USER"), std::string::npos) << message;

    // A port held by another program or gone is no matter of permission: neither the group
    // nor the device rule would help.
    for (const PortOpenError error :
        {PortOpenError::InUse, PortOpenError::Busy, PortOpenError::NotFound}) {
        const std::string other = portOpenFailureMessage("/dev/ttyUSB0", {error, "reason", "", ""});
        EXPECT_EQ(other.find("usermod"), std::string::npos) << other;
        EXPECT_EQ(other.find("udev rule"), std::string::npos) << other;
    }
}

TEST(PortOpenFailureMessage, AnotherProgramIsNamedOnlyWhenOneIsSeenHoldingThePort)
{
    struct Case {
        PortOpenResult result;
        const char* says;
        const char* never;
    };
    const Case cases[] = {
        {{PortOpenError::InUse, "busy", "", "minicom (process 7)"},
            "Another program is using the port: minicom (process 7). Close it and start again.",
            "no program"},
        {{PortOpenError::InUse, "Access is denied", "", ""},
            "Another program is using the port. Close it and start again.", "no program"},
        {{PortOpenError::Busy, "busy", "", ""},
            "The system says the port is busy, but no program that this user can see holds it "
            "open",
            "Another program is using"},
    };
    for (const Case& c : cases) {
        const std::string message = portOpenFailureMessage("/dev/ttyUSB0", c.result);
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_EQ(message.find(c.never), std::string::npos) << message;
    }
}

} // namespace
} // namespace clampmeter
