// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/frame_sync.h"
#include "link/link_panels.h"
#include "link/load_sequence.h"
#include "platform/meter_port.h"
#include "platform/qt_link_timer.h"

#include <QObject>
#include <QString>

#include <memory>

namespace clampmeter {

/// The meter's serial link on the user-interface thread: the port, Timer1, Timer2 and the
/// framing that ties them together. The main panel owns one for the whole run.
///
/// The port is the system's serial port (MeterPort gives its line settings) unless the owner
/// brings another. When the device goes away the port is closed and stays closed until
/// opened again; Timer2 then shows "NO DATA".
class SerialLink : public QObject {
    Q_OBJECT

public:
    /// panels and onAccepted are used from the receive event and the timers; panels must
    /// outlive this object. Without a port of its own the link reads the system's.
    SerialLink(LinkPanels& panels, AcceptedFrameHandler onAccepted, QObject* parent = nullptr,
        std::unique_ptr<MeterPort> port = nullptr);
    ~SerialLink() override;

    /// Opens the port (a name such as ttyUSB0 or COM3, or a device path) with the meter's
    /// line settings. On failure the result carries the system's reason and its kind.
    PortOpenResult open(const QString& portName);

    /// The port has just been opened: enable Timer1, so listening starts at a quiet moment.
    void portOpened();

    /// Resynchronisation entry for commands that kept the user-interface thread busy.
    void resynchronise();

    bool isOpen() const;
    /// Armed for the next frame (threshold 17, Timer1 off).
    bool isListening() const;

signals:
    /// The device went away (a hang-up, a pulled cable) and the port has been closed.
    /// Emitted once per loss; open() may be called again from here on. (The system's error
    /// text may be stale at that moment, so none is given.)
    void portLost();

private:
    std::unique_ptr<MeterPort> m_port;
    QtLinkTimer m_timer1;
    QtLinkTimer m_timer2;
    FrameSync m_sync;
};

} // namespace clampmeter
