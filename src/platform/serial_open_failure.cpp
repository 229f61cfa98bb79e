// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_open_failure.h"

#include "platform/device_holders.h"

#include <QDir>
#include <QFileInfo>

namespace clampmeter {

namespace {

QString deviceFilePath(const QString& portName)
{
#ifdef Q_OS_UNIX
    if (QDir::isAbsolutePath(portName))
        return portName;
    return QStringLiteral("/dev/") + portName;
#else
    Q_UNUSED(portName);
    return {};
#endif
}

} // namespace

SerialOpenFailure inspectOpenFailure(const QSerialPort& port)
{
    SerialOpenFailure failure;
    failure.error = port.error();
    failure.errorString = port.errorString();
    const QString path = deviceFilePath(port.portName());
    const QFileInfo device(path);
    if (!path.isEmpty() && device.exists()) {
        failure.access = device.isReadable() ? DeviceAccess::Readable : DeviceAccess::NotReadable;
        failure.deviceGroup = device.group();
        if (failure.error == QSerialPort::PermissionError)
            failure.holders = processesHoldingDevice(path.toStdString());
    }
    return failure;
}

PortOpenResult describeOpenFailure(const SerialOpenFailure& failure)
{
    PortOpenResult result;
    result.reason = failure.errorString.toStdString();
    result.deviceGroup = failure.deviceGroup.toStdString();
    switch (failure.error) {
    case QSerialPort::DeviceNotFoundError:
        result.error = PortOpenError::NotFound;
        break;
    case QSerialPort::PermissionError:
        if (failure.access == DeviceAccess::NotReadable) {
            result.error = PortOpenError::PermissionDenied;
        } else if (failure.access == DeviceAccess::Readable && failure.holders.empty()) {
            result.error = PortOpenError::Busy;
        } else {
            result.error = PortOpenError::InUse;
            for (const std::string& holder : failure.holders)
                result.holder += (result.holder.empty() ? "" : ", ") + holder;
        }
        break;
    default:
        // NoError included: open() said it failed, so it must never read as success.
        result.error = PortOpenError::Other;
        break;
    }
    return result;
}

} // namespace clampmeter
