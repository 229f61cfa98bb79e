// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"

#include <gtest/gtest.h>

#include <string>

namespace clampmeter {
namespace {

using Values = std::map<std::string, std::string, std::less<>>;
const std::string kSilab(kBridgeValueName);
const std::string kSlab(kBridgeAltValueName);

struct LookupCase {
    const char* name;
    Values values;
    BridgeLookupStatus status;
    std::string portName;
};

void PrintTo(const LookupCase& row, std::ostream* out)
{
    *out << row.name;
}

class BridgeLookupTest : public testing::TestWithParam<LookupCase> { };

TEST_P(BridgeLookupTest, FindsTheRegisteredPortInOrder)
{
    const LookupCase& c = GetParam();
    StaticSerialDeviceMap map(c.values);
    const BridgeLookup result = lookUpBridge(map);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.portName, c.portName);
    EXPECT_EQ(map.openCount(), map.closeCount()) << "the map is left open";
}

INSTANTIATE_TEST_SUITE_P(Maps, BridgeLookupTest,
    testing::Values(LookupCase {"BothNamesPreferTheFirst", {{kSilab, "COM3"}, {kSlab, "COM12"}},
                        BridgeLookupStatus::Found, "COM3"},
        LookupCase {"OnlySecondName", {{kSlab, "COM12"}}, BridgeLookupStatus::Found, "COM12"},
        LookupCase {
            "NeitherName", {{R"(\Device\Serial0)", "COM1"}}, BridgeLookupStatus::NoBridge, ""},
        LookupCase {"NinetyNineCharactersFit", {{kSilab, std::string(99, 'x')}},
            BridgeLookupStatus::Found, std::string(99, 'x')},
        LookupCase {"HundredCharactersAreUnreadableSoTheSecondNameCounts",
            {{kSilab, std::string(100, 'x')}, {kSlab, "COM4"}}, BridgeLookupStatus::Found, "COM4"},
        LookupCase {"BothTooLong",
            {{kSilab, std::string(100, 'x')}, {kSlab, std::string(250, 'y')}},
            BridgeLookupStatus::NoBridge, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BridgeLookup, UnreadableMapGivesTheRegistryMessage)
{
    StaticSerialDeviceMap map({{kSilab, "COM3"}}, StaticSerialDeviceMap::Readability::Unreadable);
    const BridgeLookup result = lookUpBridge(map);
    EXPECT_EQ(result.status, BridgeLookupStatus::MapUnreadable);
    EXPECT_EQ(bridgeLookupMessage(result.status), "RegOpenKey error!");
    EXPECT_EQ(bridgeLookupMessage(BridgeLookupStatus::NoBridge),
        "No com-port! Please check out the line-connection and the "
        "device-driver-installation!");
}

// A map that claims a length of 0 or beyond its buffer must not make the lookup read
// outside what it wrote.
class LyingMap final : public SerialDeviceMap {
public:
    explicit LyingMap(std::uint32_t length)
        : m_length(length)
    {
    }
    bool openKey() override { return true; }
    bool queryValue(std::string_view, std::span<char> buffer, std::uint32_t& length) override
    {
        buffer[0] = 'A';
        length = m_length;
        return true;
    }
    void closeKey() override { }

private:
    std::uint32_t m_length;
};

TEST(BridgeLookup, ReportedLengthsOutsideTheBufferAreClamped)
{
    LyingMap none(0);
    EXPECT_EQ(lookUpBridge(none).portName, "");
    LyingMap huge(100000);
    EXPECT_EQ(lookUpBridge(huge).portName.size(), kPortNameBufferSize);
}

} // namespace
} // namespace clampmeter
