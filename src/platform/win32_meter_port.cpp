// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/win32_meter_port.h"

#include "platform/win32_serial_line.h"

#include <array>
#include <string>
#include <windows.h>

namespace clampmeter {
namespace {

/// The sizes the meter's port has always asked the driver for.
constexpr DWORD kInputBufferBytes = 1024;
constexpr DWORD kOutputBufferBytes = 512;
/// A pending read waits for the first byte however long that takes, then returns once the
/// line has been quiet this long: a little over two byte times at 2400 baud, so that a frame
/// mostly comes in one piece, and far below the framing's 50 ms quiet tick.
constexpr DWORD kReadGapMs = 10;

QString systemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, static_cast<qsizetype>(length))
                                 : QStringLiteral("system error %1").arg(error);
    LocalFree(text);
    return message.trimmed();
}

PortOpenResult openFailure(DWORD error)
{
    PortOpenResult result;
    result.reason = systemMessage(error).toStdString();
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        result.error = PortOpenError::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // A COM port is opened by one program at a time: another one holds it.
        result.error = PortOpenError::InUse;
        break;
    default:
        result.error = PortOpenError::Other;
        break;
    }
    return result;
}

/// The meter's line, and reads that end at a quiet gap.
bool setLine(HANDLE handle)
{
    if (!setMeterLine(handle))
        return false;
    // Only a quiet gap after some bytes ends a read. (The usual alternatives, a read that
    // returns at once when bytes wait and else waits for the first, or a wait for EV_RXCHAR,
    // fail under wine on a pseudo-terminal; this one behaves the same on both.)
    COMMTIMEOUTS timeouts {};
    timeouts.ReadIntervalTimeout = kReadGapMs;
    return SetCommTimeouts(handle, &timeouts) != 0;
}

} // namespace

struct Win32MeterPort::Io {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped {};
    bool pending = false;
    std::array<std::uint8_t, kInputBufferBytes> chunk {};
};

Win32MeterPort::Win32MeterPort(QObject* parent)
    : MeterPort(parent)
    , m_io(std::make_unique<Io>())
{
    m_io->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_notifier.setHandle(m_io->overlapped.hEvent);
    m_notifier.setEnabled(false);
    connect(&m_notifier, &QWinEventNotifier::activated, this, &Win32MeterPort::onReadDone);
}

Win32MeterPort::~Win32MeterPort()
{
    closeHandle();
    m_notifier.setEnabled(false);
    CloseHandle(m_io->overlapped.hEvent);
}

PortOpenResult Win32MeterPort::open(const QString& portName)
{
    closeHandle();
    const std::wstring path
        = QString::fromStdString(win32DevicePath(portName.toStdString())).toStdWString();
    HANDLE handle = CreateFileW(
        path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return openFailure(GetLastError());
    if (!SetupComm(handle, kInputBufferBytes, kOutputBufferBytes) || !setLine(handle)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return openFailure(error);
    }
    PurgeComm(handle, PURGE_RXCLEAR | PURGE_RXABORT);
    m_io->handle = handle;
    m_received.clear();
    if (!startRead()) {
        const DWORD error = GetLastError();
        closeHandle();
        return openFailure(error);
    }
    return {};
}

void Win32MeterPort::close()
{
    closeHandle();
}

bool Win32MeterPort::isOpen() const
{
    return m_io->handle != INVALID_HANDLE_VALUE;
}

std::size_t Win32MeterPort::InBufferCount() const
{
    return m_received.size();
}

void Win32MeterPort::discardInBuffer()
{
    m_received.clear();
    // What the driver still holds goes too; the pending read stays, for the bytes to come.
    if (isOpen())
        PurgeComm(m_io->handle, PURGE_RXCLEAR);
}

std::vector<std::uint8_t> Win32MeterPort::Input()
{
    return std::exchange(m_received, {});
}

Win32LineSettings Win32MeterPort::lineSettings() const
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!isOpen() || !GetCommState(m_io->handle, &dcb))
        return {};
    Win32LineSettings settings;
    settings.baudRate = dcb.BaudRate;
    settings.dataBits = dcb.ByteSize;
    settings.parity = dcb.Parity != NOPARITY;
    settings.oneStopBit = dcb.StopBits == ONESTOPBIT;
    settings.flowControl = dcb.fOutxCtsFlow || dcb.fOutxDsrFlow || dcb.fOutX || dcb.fInX
        || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    return settings;
}

bool Win32MeterPort::startRead()
{
    ResetEvent(m_io->overlapped.hEvent);
    DWORD got = 0;
    if (ReadFile(m_io->handle, m_io->chunk.data(), static_cast<DWORD>(m_io->chunk.size()), &got,
            &m_io->overlapped)) {
        // Done at once: the event is set as well, and onReadDone takes the bytes.
        m_io->pending = true;
        m_notifier.setEnabled(true);
        return true;
    }
    if (GetLastError() != ERROR_IO_PENDING)
        return false;
    m_io->pending = true;
    m_notifier.setEnabled(true);
    return true;
}

void Win32MeterPort::onReadDone()
{
    if (!m_io->pending)
        return;
    m_notifier.setEnabled(false);
    m_io->pending = false;
    DWORD got = 0;
    // Without a total timeout a read only ends with bytes: one that fails, or ends with
    // none, means the device stopped answering (and reading on would spin).
    if (!GetOverlappedResult(m_io->handle, &m_io->overlapped, &got, FALSE) || got == 0) {
        closeHandle();
        emit lost();
        return;
    }
    m_received.insert(m_received.end(), m_io->chunk.begin(), m_io->chunk.begin() + got);
    if (!startRead()) {
        closeHandle();
        emit lost();
        return;
    }
    bytesCameIn();
}

void Win32MeterPort::closeHandle()
{
    if (!isOpen())
        return;
    m_notifier.setEnabled(false);
    if (m_io->pending) {
        // The buffer must not be written to once it is gone: wait for the cancelled read.
        CancelIoEx(m_io->handle, &m_io->overlapped);
        DWORD got = 0;
        GetOverlappedResult(m_io->handle, &m_io->overlapped, &got, TRUE);
        m_io->pending = false;
    }
    CloseHandle(std::exchange(m_io->handle, INVALID_HANDLE_VALUE));
    m_received.clear();
}

} // namespace clampmeter
