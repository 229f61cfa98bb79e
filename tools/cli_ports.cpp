// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checked_output.h"
#include "cli_commands.h"
#include "ports_report.h"
#include "system_ports_table.h"

#include "link/bridge_lookup.h"
#include "platform/serial_link.h"
#include "platform/system_serial_device_map.h"

#include <QCoreApplication>

#include <ostream>

namespace clampmeter::cli {

#ifdef _WIN32
const std::string_view kPortsHelp
    = "clampmeter-cli ports\n"
      "    List the serial ports in Windows' serial device map\n"
      "    (HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM) with their devices,\n"
      "    and mark the one clampmeter would use: the CP210x bridge's port, registered\n"
      "    as \\Device\\silabser0. For that one, say whether it can be opened and, when\n"
      "    not, Windows' reason (another program holding the port, say) and what to do.\n"
      "    Exit codes: 0 a bridge was found, 1 none was found (or the list could not\n"
      "    be written), 2 bad options.\n";
#else
const std::string_view kPortsHelp
    = "clampmeter-cli ports\n"
      "    List the serial devices with their drivers and mark the one clampmeter\n"
      "    would use: the first CP210x bridge in natural order. For that one, say\n"
      "    whether this user can open it and, when not, why and what to do (join the\n"
      "    group that owns the device: sudo usermod -aG GROUP $USER, then log out and\n"
      "    in; or install the clampmeter package, whose udev rule gives the user at\n"
      "    the computer access, and plug the meter in again).\n"
      "    Exit codes: 0 a bridge was found, 1 none was found (or the list could not\n"
      "    be written), 2 bad options.\n";
#endif

namespace {

constexpr std::string_view kCommand = "clampmeter-cli ports";

class NoPanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool) override { }
    void setNoDataPanelVisible(bool) override { }
};

// Opens the port exactly as the program and the logger do, and closes it again.
PortOpenResult tryOpening(const std::string& port)
{
    int argc = 1;
    std::string name = "clampmeter-cli";
    char* argv[] = {name.data(), nullptr};
    const QCoreApplication application(argc, argv);
    NoPanels panels;
    SerialLink link(panels, nullptr);
    return link.open(QString::fromStdString(port));
}

} // namespace

int runPorts(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
        return writeText(kCommand, kPortsHelp, out, err);
    if (!args.empty()) {
        err << kCommand << ": unknown option '" << args[0]
            << "' (try clampmeter-cli ports --help)\n";
        return 2;
    }
    const auto map = makeSystemSerialDeviceMap();
    const BridgeLookup bridge = lookUpBridge(*map);
    const std::string port
        = bridge.status == BridgeLookupStatus::Found ? bridge.portName : std::string();
    std::string text = systemPortsTable(port);
    if (!port.empty())
        text += '\n' + bridgeAccessText(port, tryOpening(port));
    if (const int written = writeText(kCommand, text, out, err); written != 0)
        return written;
    if (port.empty()) {
        err << kCommand << ": " << bridgeLookupMessage(bridge.status) << '\n';
        return 1;
    }
    return 0;
}

} // namespace clampmeter::cli
