// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_open_failure.h"

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
        result.error = failure.access == DeviceAccess::NotReadable ? PortOpenError::PermissionDenied
                                                                   : PortOpenError::InUse;
        break;
    default:
        // NoError included: open() said it failed, so it must never read as success.
        result.error = PortOpenError::Other;
        break;
    }
    return result;
}

} // namespace clampmeter
