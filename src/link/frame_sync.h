// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/link_panels.h"
#include "link/link_timer.h"
#include "link/measurement_frame.h"
#include "link/serial_port_control.h"

#include <chrono>
#include <cstddef>
#include <functional>

namespace clampmeter {

/// Timer1: while resynchronising, how long the line must stay quiet before listening again.
inline constexpr std::chrono::milliseconds kResyncInterval {50};
/// Timer2: how long the link may go without a batch of 17 bytes before "NO DATA" shows.
inline constexpr std::chrono::milliseconds kWatchdogInterval {2000};

/// Receive threshold while listening for a frame (bytes) and while resynchronising (none).
inline constexpr std::size_t kThresholdArmed = kFrameSize;
inline constexpr std::size_t kThresholdDisarmed = 0;

/// The port's event code for "data received"; every other code is ignored.
inline constexpr int kComEvReceive = 2;

/// Called for every accepted frame, inside the receive event. The bytes are valid only
/// for the duration of the call.
using AcceptedFrameHandler = std::function<void(FrameBytes)>;

/// Cuts the meter's byte stream into frames by timing and watches the link.
///
/// Listening (threshold 17, Timer1 off): the port reports once 17 bytes are waiting; a
/// batch of exactly 17 bytes is a candidate frame, any other batch is thrown away.
/// Resynchronising (threshold 0, Timer1 on): waiting bytes are thrown away on every tick
/// until a tick finds the line quiet, which re-arms the port. Timer2 is the watchdog: it
/// shows "NO DATA" when no batch of 17 bytes has come for kWatchdogInterval.
class FrameSync {
public:
    /// timer1 ticks every kResyncInterval, timer2 every kWatchdogInterval; both start
    /// disabled. All references must outlive this object.
    FrameSync(SerialPortControl& port, LinkTimer& timer1, LinkTimer& timer2, LinkPanels& panels,
        AcceptedFrameHandler onAccepted);

    /// The port has just been opened: start resynchronising.
    void portOpened();

    /// Resynchronisation entry, for commands that kept the user-interface thread busy while
    /// bytes piled up: disarms the port and enables Timer1, nothing else.
    void resynchronise();

    /// The port's receive event, with its event code.
    void onComm(int commEvent);

    void onTimer1Tick();
    void onTimer2Tick();

private:
    void takeCandidate();

    SerialPortControl& m_port;
    LinkTimer& m_timer1;
    LinkTimer& m_timer2;
    LinkPanels& m_panels;
    AcceptedFrameHandler m_onAccepted;
};

} // namespace clampmeter
