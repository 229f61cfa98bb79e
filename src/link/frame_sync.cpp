// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/frame_sync.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace clampmeter {

FrameSync::FrameSync(SerialPortControl& port, LinkTimer& timer1, LinkTimer& timer2,
    LinkPanels& panels, AcceptedFrameHandler onAccepted)
    : m_port(port)
    , m_timer1(timer1)
    , m_timer2(timer2)
    , m_panels(panels)
    , m_onAccepted(std::move(onAccepted))
{
}

void FrameSync::portOpened()
{
    // A port opened again after a loss may have been left armed: framing starts afresh.
    m_port.setRThreshold(kThresholdDisarmed);
    m_timer1.enable();
}

void FrameSync::resynchronise()
{
    m_port.setRThreshold(kThresholdDisarmed);
    m_timer1.enable();
}

void FrameSync::onComm(int commEvent)
{
    if (commEvent != kComEvReceive)
        return;

    // Two frames back to back, or a frame with stray bytes, cannot be told apart: the
    // whole batch goes, and the port stays armed for the next frame that comes alone.
    if (m_port.InBufferCount() != kFrameSize) {
        m_port.discardInBuffer();
        return;
    }

    // Any batch of 17 bytes proves the line alive, whatever its header says.
    m_timer2.disable();
    m_panels.setDisplayPanelVisible(true);
    m_panels.setNoDataPanelVisible(false);
    m_timer2.enable();

    takeCandidate();
}

void FrameSync::takeCandidate()
{
    const std::vector<std::uint8_t> received = m_port.Input();
    m_port.discardInBuffer();

    // Fewer bytes than were counted means the port lost some: the stream is out of step.
    if (received.size() < kFrameSize) {
        resynchronise();
        return;
    }

    std::array<std::uint8_t, kFrameSize> candidate {};
    std::copy_n(received.begin(), kFrameSize, candidate.begin());
    if (!isAcceptedFrame(candidate)) {
        resynchronise();
        return;
    }
    if (m_onAccepted)
        m_onAccepted(candidate);
}

void FrameSync::onTimer1Tick()
{
    if (m_port.InBufferCount() > 0) {
        m_port.discardInBuffer();
        return;
    }
    m_port.setRThreshold(kThresholdArmed);
    m_timer1.disable();
}

void FrameSync::onTimer2Tick()
{
    m_panels.setDisplayPanelVisible(false);
    m_panels.setNoDataPanelVisible(true);
}

} // namespace clampmeter
