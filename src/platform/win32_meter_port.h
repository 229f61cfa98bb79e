// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/meter_port.h"

#include <QWinEventNotifier>

#include <memory>
#include <vector>

namespace clampmeter {

/// The line settings a Windows serial port holds, as its driver reports them.
struct Win32LineSettings {
    unsigned long baudRate = 0;
    int dataBits = 0;
    bool parity = true;
    bool oneStopBit = false;
    bool flowControl = true; ///< any of CTS, DSR, XON/XOFF or RTS handshaking
};

/// The meter's port through the Win32 serial API: `\\.\COMn` opened for overlapped reading,
/// the line set with a DCB, 1024 bytes of input buffer as the meter's port has always had.
///
/// One read is always pending, and it completes a few milliseconds after the bytes it got
/// (the read timeouts say so); its event wakes the event loop through a QWinEventNotifier. What
/// came in waits here until the framing reads or discards it. A read that fails means the device
/// went away (a pulled cable, a hang-up): the port closes and says so once.
class Win32MeterPort final : public MeterPort {
    Q_OBJECT

public:
    explicit Win32MeterPort(QObject* parent = nullptr);
    ~Win32MeterPort() override;

    PortOpenResult open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;

    std::size_t InBufferCount() const override;
    void discardInBuffer() override;
    std::vector<std::uint8_t> Input() override;

    /// What the driver holds for the open port; all zero when closed.
    Win32LineSettings lineSettings() const;

private:
    struct Io;

    bool startRead();
    void onReadDone();
    void closeHandle();

    std::unique_ptr<Io> m_io;
    QWinEventNotifier m_notifier;
    std::vector<std::uint8_t> m_received;
};

} // namespace clampmeter
