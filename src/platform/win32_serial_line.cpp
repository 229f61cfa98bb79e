// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/win32_serial_line.h"

#include <windows.h>

namespace clampmeter {

std::string win32DevicePath(std::string_view portName)
{
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    if (portName.starts_with(kDeviceNamespace))
        return std::string(portName);
    return std::string(kDeviceNamespace) + std::string(portName);
}

bool setMeterLine(void* handle)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = CBR_2400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    // No handshake: the bridge and a null-modem cable have no modem lines to wait for.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return SetCommState(handle, &dcb) != 0;
}

} // namespace clampmeter
