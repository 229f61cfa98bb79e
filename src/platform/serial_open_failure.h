// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/load_sequence.h"

#include <QSerialPort>
#include <QString>

#include <string>
#include <vector>

namespace clampmeter {

/// Whether this user may read the port's device file.
enum class DeviceAccess {
    Unknown, ///< no device file to look at (a Windows COM name, or a vanished device)
    Readable,
    NotReadable,
};

/// What the system said when a serial port would not open.
struct SerialOpenFailure {
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    QString errorString; ///< QSerialPort::errorString(), the system's own words
    DeviceAccess access = DeviceAccess::Unknown;
    QString deviceGroup; ///< group owning the device file, empty when unknown
    /// The programs seen holding the device file open (NAME (process PID)), when it has one.
    std::vector<std::string> holders;
};

/// Reads the failure off a port whose open() has just returned false.
SerialOpenFailure inspectOpenFailure(const QSerialPort& port);

/// Sorts a failure into what the user can act on. Qt reports a port locked or held
/// exclusively by another program as a permission error too; a device file this user may
/// read tells that case apart from a real lack of permission, and the programs seen holding
/// it tell a port in use from one the system only calls busy.
PortOpenResult describeOpenFailure(const SerialOpenFailure& failure);

} // namespace clampmeter
