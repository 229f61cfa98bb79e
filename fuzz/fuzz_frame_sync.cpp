// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The framing state machine driven by a script of events: byte batches of any size and
// content, Timer1 and Timer2 ticks, the resynchronisation entry, other port events. Every
// frame handed on must be one batch of exactly 17 bytes with the 68 68 header that the
// armed port held alone, and the panels must always show exactly one of data and NO DATA.

#include "fuzz_check.h"
#include "link/frame_sync.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using namespace clampmeter;
using fuzz::check;

/// The port as the Qt adapter behaves: a receive event is due when the armed threshold is
/// reached by what waits.
class ScriptedPort final : public SerialPortControl {
public:
    std::size_t InBufferCount() const override { return waiting.size(); }
    void discardInBuffer() override { waiting.clear(); }
    std::vector<std::uint8_t> Input() override { return std::exchange(waiting, {}); }
    void setRThreshold(std::size_t bytes) override
    {
        check(bytes == kThresholdArmed || bytes == kThresholdDisarmed, "odd threshold");
        if (bytes == kThresholdArmed && threshold == kThresholdDisarmed)
            check(waiting.empty(), "armed while bytes were waiting");
        threshold = bytes;
    }
    bool receiveEventDue() const { return threshold > 0 && waiting.size() >= threshold; }

    std::vector<std::uint8_t> waiting;
    std::size_t threshold = kThresholdDisarmed;
};

class ScriptTimer final : public LinkTimer {
public:
    void enable() override { enabled = true; }
    void disable() override { enabled = false; }
    bool isEnabled() const override { return enabled; }
    bool enabled = false;
};

class Panels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool visible) override { display = visible; }
    void setNoDataPanelVisible(bool visible) override { noData = visible; }
    bool display = true;
    bool noData = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedPort port;
    ScriptTimer timer1;
    ScriptTimer timer2;
    Panels panels;
    std::vector<std::uint8_t> batchAtEvent;
    FrameSync sync(port, timer1, timer2, panels, [&](FrameBytes frame) {
        check(batchAtEvent.size() == kFrameSize, "a frame from a batch of another size");
        check(std::equal(frame.begin(), frame.end(), batchAtEvent.begin()),
            "a frame not as received");
        check(frame[0] == kFrameHeader && frame[1] == kFrameHeader, "a frame without its header");
    });
    auto bytesArrive = [&](std::vector<std::uint8_t> batch) {
        port.waiting.insert(port.waiting.end(), batch.begin(), batch.end());
        if (port.receiveEventDue()) {
            batchAtEvent = port.waiting;
            sync.onComm(kComEvReceive);
            batchAtEvent.clear();
        }
    };

    sync.portOpened();
    // The script: one operation byte, then what the operation needs.
    fuzz::ByteReader script(data, size);
    while (!script.done()) {
        switch (script.byte() % 6) {
        case 0: { // a batch of 0 … 39 bytes of any content
            std::vector<std::uint8_t> batch(script.byte() % 40);
            for (std::uint8_t& b : batch)
                b = script.byte();
            bytesArrive(std::move(batch));
            break;
        }
        case 1: { // a frame-like batch: the header, then 15 bytes
            std::vector<std::uint8_t> batch {kFrameHeader, kFrameHeader};
            for (int i = 0; i < 15; ++i)
                batch.push_back(script.byte());
            bytesArrive(std::move(batch));
            break;
        }
        case 2:
            if (timer1.enabled)
                sync.onTimer1Tick();
            break;
        case 3:
            if (timer2.enabled)
                sync.onTimer2Tick();
            break;
        case 4:
            sync.resynchronise();
            break;
        default: { // a port event other than "data received"
            const int event = script.byte();
            if (event != kComEvReceive)
                sync.onComm(event);
            break;
        }
        }
        check(panels.display != panels.noData, "both or neither of data and NO DATA shown");
    }
    return 0;
}
