// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/device_holders.h"
#include "platform/pseudo_terminal.h"
#include "platform/serial_link.h"
#include "platform/serial_open_failure.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace clampmeter {
namespace {

class NoPanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool) override { }
    void setNoDataPanelVisible(bool) override { }
};

TEST(SerialOpenFailure, SortsQtErrorsIntoWhatTheUserCanActOn)
{
    struct Case {
        const char* name;
        QSerialPort::SerialPortError error;
        DeviceAccess access;
        std::vector<std::string> holders;
        PortOpenError expected;
        const char* holder;
    };
    const std::vector<Case> cases {
        {"missing device", QSerialPort::DeviceNotFoundError, DeviceAccess::Unknown, {},
            PortOpenError::NotFound, ""},
        {"device this user may not read", QSerialPort::PermissionError, DeviceAccess::NotReadable,
            {}, PortOpenError::PermissionDenied, ""},
        {"readable device held by two programs", QSerialPort::PermissionError,
            DeviceAccess::Readable, {"minicom (process 7)", "cat (process 9)"},
            PortOpenError::InUse, "minicom (process 7), cat (process 9)"},
        {"readable device refused as busy, held by nobody seen", QSerialPort::PermissionError,
            DeviceAccess::Readable, {}, PortOpenError::Busy, ""},
        {"COM name with no device file", QSerialPort::PermissionError, DeviceAccess::Unknown, {},
            PortOpenError::InUse, ""},
        {"settings refused", QSerialPort::UnsupportedOperationError, DeviceAccess::Readable, {},
            PortOpenError::Other, ""},
        {"failure without an error code", QSerialPort::NoError, DeviceAccess::Readable, {},
            PortOpenError::Other, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PortOpenResult result = describeOpenFailure({c.error,
            QStringLiteral("the system's words"), c.access, QStringLiteral("dialout"), c.holders});
        EXPECT_EQ(result.error, c.expected);
        EXPECT_EQ(result.holder, c.holder);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.reason, "the system's words");
        EXPECT_EQ(result.deviceGroup, "dialout");
    }
}

TEST(SerialOpenFailure, MissingDeviceIsReportedAsNotFoundWithTheSystemsReason)
{
    NoPanels panels;
    SerialLink link(panels, {});
    const PortOpenResult result = link.open(QStringLiteral("/dev/clampmeter-no-such-port"));
    EXPECT_EQ(result.error, PortOpenError::NotFound);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_FALSE(link.isOpen());
}

TEST(SerialOpenFailure, PortHeldByAnotherOpenerIsInUse)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    const QString path = QString::fromStdString(pty->slavePath());
    NoPanels panels;
    SerialLink first(panels, {});
    ASSERT_TRUE(first.open(path).ok());

    SerialLink second(panels, {});
    const PortOpenResult result = second.open(path);

    EXPECT_EQ(result.error, PortOpenError::InUse) << result.reason;
    EXPECT_FALSE(result.reason.empty());
    EXPECT_NE(result.holder.find("(process " + std::to_string(::getpid()) + ")"), std::string::npos)
        << result.holder;
}

TEST(DeviceHolders, TheProcessesHoldingADeviceAreNamedWithTheirIds)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    const std::string self = "(process " + std::to_string(::getpid()) + ")";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(pty->slavePath().c_str(), O_RDONLY | O_NOCTTY);
        const char said = fd >= 0 ? 'y' : 'n';
        (void)!::write(ready[1], &said, 1);
        ::pause();
        ::_exit(0);
    }
    char said = 0;
    ASSERT_EQ(::read(ready[0], &said, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(said, 'y');

    // This process keeps the slave open for the pair; the child opened it too.
    const std::vector<std::string> both = processesHoldingDevice(pty->slavePath());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string childId = "(process " + std::to_string(child) + ")";
    EXPECT_EQ(both.size(), 2U);
    EXPECT_EQ(std::count_if(both.begin(), both.end(),
                  [&](const std::string& h) { return h.ends_with(childId) || h.ends_with(self); }),
        2);

    const std::vector<std::string> after = processesHoldingDevice(pty->slavePath());
    ASSERT_EQ(after.size(), 1U);
    EXPECT_TRUE(after.front().ends_with(self)) << after.front();
    EXPECT_TRUE(processesHoldingDevice("/nonexistent/device").empty());
}

// The child drops to an unprivileged user, because root may read any device file.
void openAsNobodyAndExitWithTheErrorKind(const std::string& path, const QString& group)
{
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::_Exit(100);
    NoPanels panels;
    SerialLink link(panels, {});
    const PortOpenResult result = link.open(QString::fromStdString(path));
    const bool named = !result.reason.empty() && result.deviceGroup == group.toStdString();
    std::_Exit(named ? static_cast<int>(result.error) : 101);
}

TEST(SerialOpenFailure, DeviceWithoutReadPermissionIsPermissionDeniedNamingItsGroup)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    // With no permission bits left nobody but root may read the slave.
    ASSERT_EQ(::chmod(pty->slavePath().c_str(), 0), 0);
    const QString group = QFileInfo(QString::fromStdString(pty->slavePath())).group();
    ASSERT_FALSE(group.isEmpty());
    EXPECT_EXIT(openAsNobodyAndExitWithTheErrorKind(pty->slavePath(), group),
        testing::ExitedWithCode(static_cast<int>(PortOpenError::PermissionDenied)), "");
}

} // namespace
} // namespace clampmeter
