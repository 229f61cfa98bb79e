// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A main panel for the tests: a fixed clock, no bridge, fatal messages collected.

#pragma once

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "simulator/frame_encoder.h"

#include <QLabel>
#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace clampmeter {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"01/05/24", "14:03:07"}; }
};

struct Message {
    QString title;
    QString text;
};

class Form1Test : public testing::Test {
protected:
    std::unique_ptr<Form1> makeForm(SerialDeviceMap& map)
    {
        return std::make_unique<Form1>(
            Form1::Services {*vars, map, clock, [this](const QString& title, const QString& text) {
                                 messages.push_back({title, text});
                             }});
    }

    QLabel* label(const char* name) const
    {
        return form->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QString caption(const char* name) const { return label(name)->text(); }

    void receive(const FrameFields& fields)
    {
        const EncodedFrame bytes = encodeFrame(fields);
        form->onAcceptedFrame(bytes);
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedClock clock;
    StaticSerialDeviceMap noMap {
        StaticSerialDeviceMap::Values {}, StaticSerialDeviceMap::Readability::Unreadable};
    std::vector<Message> messages;
    std::unique_ptr<Form1> form = makeForm(noMap);
};

} // namespace clampmeter
