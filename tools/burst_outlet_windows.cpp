// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulator's outlets on Windows: a serial port through the Win32 serial API. There are
// no pseudo-terminals here; a pair of virtual null-modem ports takes their place.

#include "burst_outlet.h"
#include "platform/windows_error_text.h"

#include "platform/win32_serial_line.h"

#include <windows.h>

#include <string_view>
#include <utility>

namespace clampmeter::cli {
namespace {

constexpr std::string_view kLineGone = "the line went away";

std::string systemError(const std::string& what)
{
    return what + ": " + lastWindowsErrorText();
}

class DeviceOutlet final : public BurstOutlet {
public:
    explicit DeviceOutlet(HANDLE port)
        : m_port(port)
    {
    }
    DeviceOutlet(const DeviceOutlet&) = delete;
    DeviceOutlet& operator=(const DeviceOutlet&) = delete;
    ~DeviceOutlet() override { CloseHandle(m_port); }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        DWORD written = 0;
        if (!WriteFile(m_port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            || written != bytes.size())
            return false;
        // The gap is timed from the moment the last byte has left the line, not from when it
        // was queued: at 2400 baud a frame takes 71 ms to send.
        return FlushFileBuffers(m_port) != 0;
    }

    bool finish(const StopSignals& /*stop*/) override { return true; }

    std::string failure() const override { return std::string(kLineGone); }

private:
    HANDLE m_port;
};

} // namespace

OpenedOutlet openPtyOutlet(std::string& /*slavePath*/)
{
    return std::string("--pty is available on Linux only: on Windows use --device COMn "
                       "with a pair of virtual null-modem ports");
}

OpenedOutlet openDeviceOutlet(const std::string& path)
{
    // The line's settings are read and written through the handle: with write access alone
    // wine refuses them.
    const HANDLE port = CreateFileA(win32DevicePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
        nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return systemError("cannot open " + path);
    if (GetFileType(port) != FILE_TYPE_CHAR) {
        CloseHandle(port);
        return path + " is not a serial device";
    }
    if (!setMeterLine(port)) {
        std::string reason = systemError("cannot set " + path + " to 2400 baud 8N1");
        CloseHandle(port);
        return reason;
    }
    PurgeComm(port, PURGE_TXCLEAR);
    return std::make_unique<DeviceOutlet>(port);
}

} // namespace clampmeter::cli
