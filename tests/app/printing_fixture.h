// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real main panel with its real printer: started up to the point where its port fails to
// open, so both windows exist as the program creates them, then fed readings.

#pragma once

#include "app/form1.h"
#include "graph/frm_graph.h"
#include "link/static_serial_device_map.h"
#include "list/frm_list.h"
#include "simulator/frame_encoder.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace clampmeter::test {

class FixedPrintClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"01/05/24", "14:03:07"}; }
};

struct ShownMessage {
    QString title;
    QString text;
};

class PrintingProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<Form1>(
            Form1::Services {*vars, map, clock, [this](const QString& title, const QString& text) {
                                 messages.push_back({title, text});
                             }});
        form->load();
        messages.clear(); // the port that does not exist
    }

    void receive(int count)
    {
        for (int i = 0; i < count; ++i) {
            const EncodedFrame bytes = encodeFrame({.functionCode = 1, .mainValue = 229.5F + i});
            form->onAcceptedFrame(bytes);
        }
    }

    void printList()
    {
        QTest::mouseClick(
            form->windows().listWindow().findChild<QPushButton*>(QStringLiteral("Command4")),
            Qt::LeftButton);
    }
    void printGraph()
    {
        QTest::mouseClick(
            form->windows().graphWindow().findChild<QPushButton*>(QStringLiteral("Command1")),
            Qt::LeftButton);
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedPrintClock clock;
    StaticSerialDeviceMap map {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
    std::vector<ShownMessage> messages;
    std::unique_ptr<Form1> form;
};

} // namespace clampmeter::test
