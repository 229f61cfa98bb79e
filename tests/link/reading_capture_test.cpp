// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "decoder_frames.h"
#include "link/reading_capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

using test::buildFrame;
using test::FrameSpec;

/// A panel that keeps its captions like the real one and logs every change in order.
class FakePanel final : public PanelView {
public:
    void setWiringVisible(bool v) override { set("Label6", v ? "shown" : "hidden"); }
    void setPhaseCaption(std::string_view c) override { set("Label12", c); }
    void setBatVisible(bool v) override { set("Label13", v ? "shown" : "hidden"); }
    void setMrVisible(bool v) override { set("Label4", v ? "shown" : "hidden"); }
    void setNumberText(std::string_view t) override { set("Label11", t); }
    void setClassCaption(std::string_view c) override { set("Label1", c); }
    void setUnitCaption(std::string_view c) override { set("Label7", c); }
    void setSecondaryClassCaption(std::string_view c) override { set("Label9", c); }
    void setSecondaryUnitCaption(std::string_view c) override { set("Label8", c); }
    void setDialPicture(int p) override { set("Image1", std::to_string(p)); }
    void setMainText(std::string_view t) override { set("MainDataLabel", t); }
    void setSecondaryText(std::string_view t) override { set("SlaveDataLabel", t); }
    std::string unitCaption() const override { return state.at("Label7"); }

    std::map<std::string, std::string> state {{"Label1", "AC"}, {"Label7", "kw"}, {"Label9", "AC"},
        {"Label8", "v"}, {"Label12", "@1"}, {"Label11", "00"}, {"MainDataLabel", "000.0"},
        {"SlaveDataLabel", "000.0"}, {"Image1", "1"}, {"Label6", "shown"}, {"Label13", "shown"},
        {"Label4", "shown"}};
    std::vector<std::string>* log = nullptr;

private:
    void set(const std::string& control, std::string_view value)
    {
        state[control] = value;
        if (log != nullptr)
            log->push_back(control);
    }
};

class FakeList final : public ListLiveView {
public:
    void setUnitCaption(std::string_view c) override { note("list.Label1", unit = c); }
    void setMainText(std::string_view t) override { note("maindatashow", mainText = t); }
    void insertRecordRow(const DataRecord& record) override
    {
        rows.insert(rows.begin(), record);
        note("grid", "");
    }
    void showStoreFull() override
    {
        ++fullShown;
        note("list.full", "");
    }
    int fullShown = 0;

    std::string unit = "kw";
    std::string mainText;
    std::vector<DataRecord> rows; // newest first, as the grid shows them
    std::vector<std::string>* log = nullptr;

private:
    void note(const std::string& what, std::string_view)
    {
        if (log != nullptr)
            log->push_back(what);
    }
};

class FakeGraph final : public GraphLiveUpdate {
public:
    explicit FakeGraph(const VarModule& vars)
        : m_vars(vars)
    {
    }
    void LiveGraphUpdate() override
    {
        // The newest record must be complete by the time the graph reads it.
        const DataRecord& newest
            = m_vars.DataRecords[static_cast<std::size_t>(m_vars.DataCount - 1)];
        seen.push_back(newest.No);
        seenStamps.push_back(newest.StampText);
        if (log != nullptr)
            log->push_back("graph");
    }
    std::vector<std::int32_t> seen;
    std::vector<std::string> seenStamps;
    std::vector<std::string>* log = nullptr;

private:
    const VarModule& m_vars;
};

class FakeWindows final : public LiveWindows {
public:
    FakeWindows(FakeList& list, FakeGraph& graph)
        : m_list(list)
        , m_graph(graph)
    {
    }
    ListLiveView& list() override { return m_list; }
    GraphLiveUpdate& graph() override
    {
        ++graphRequests;
        return m_graph;
    }
    int graphRequests = 0;

private:
    FakeList& m_list;
    FakeGraph& m_graph;
};

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override
    {
        ++calls;
        return {"2024-05-01", "14:03:07"};
    }
    int calls = 0;
};

/// What the journal was told, in order.
class RecordingJournal final : public JournalSink {
public:
    struct Reading {
        std::array<std::uint8_t, kFrameSize> frame;
        DataRecord record;
        bool stored;
    };
    void readingCaptured(FrameBytes frame, const DataRecord& record, bool stored) override
    {
        Reading reading {{}, record, stored};
        std::copy(frame.begin(), frame.end(), reading.frame.begin());
        readings.push_back(reading);
    }
    void listCleared() override { }
    void listSaved(SavedFormat, std::int32_t) override { }
    std::vector<Reading> readings;
};

class ReadingCaptureTest : public testing::Test {
protected:
    void receive(const FrameSpec& spec)
    {
        const auto bytes = buildFrame(spec);
        capture.onAcceptedFrame(bytes);
    }

    std::unique_ptr<VarModule> varsOwner = std::make_unique<VarModule>();
    VarModule& vars = *varsOwner;
    FakePanel panel;
    FakeList list;
    FakeGraph graph {vars};
    FakeWindows windows {list, graph};
    FixedClock clock;
    ReadingCapture capture {vars, panel, windows, clock};
};

TEST_F(ReadingCaptureTest, FirstReadingIsShownStoredListedAndPlotted)
{
    receive({.number = 5, .code = 1, .main = 229.9F, .secondary = 50.0F});

    ASSERT_EQ(vars.DataCount, 1);
    const DataRecord& r = vars.DataRecords[0];
    EXPECT_EQ(r.No, 1);
    EXPECT_EQ(r.FunText, "FUN_VAC");
    EXPECT_EQ(r.DataText, "229.8");
    EXPECT_EQ(r.UnitText, "v");
    EXPECT_EQ(r.Value, 229.899993896484375);
    EXPECT_EQ(r.DateText, "2024-05-01");
    EXPECT_EQ(r.TimeText, "14:03:07");
    EXPECT_EQ(r.StampText, "2024-05-01\\14:03:07");
    EXPECT_EQ(clock.calls, 1);

    EXPECT_EQ(panel.state["MainDataLabel"], "229.8");
    EXPECT_EQ(panel.state["SlaveDataLabel"], "50");
    EXPECT_EQ(panel.state["Image1"], "2");
    EXPECT_EQ(list.mainText, "229.8");
    EXPECT_EQ(list.unit, "v");
    ASSERT_EQ(list.rows.size(), 1U);
    EXPECT_EQ(list.rows[0].No, 1);
    EXPECT_EQ(graph.seen, std::vector<std::int32_t> {1});
    EXPECT_EQ(graph.seenStamps.front(), "2024-05-01\\14:03:07");
    EXPECT_EQ(windows.graphRequests, 1) << "the graph window is needed from the first reading";
}

TEST_F(ReadingCaptureTest, StepsRunInTheirFixedOrder)
{
    std::vector<std::string> log;
    panel.log = list.log = graph.log = &log;

    receive({.phase = 2, .code = 2, .main = 12.5F, .secondary = 230.0F});

    EXPECT_EQ(log,
        (std::vector<std::string> {"Label6", "Label12", "Label13", "Label4", "Label11", "Label1",
            "Label7", "list.Label1", "Label9", "Label8", "Image1", "MainDataLabel",
            "SlaveDataLabel", "maindatashow", "grid", "graph"}));
}

TEST_F(ReadingCaptureTest, UnknownFunctionKeepsCaptionsAndRecordsTheLastUnit)
{
    receive({.phase = 2, .code = 1, .main = 229.9F, .secondary = 50.0F});
    receive({.phase = 0, .code = 9, .main = 17.25F, .secondary = 3.0F});

    EXPECT_EQ(panel.state["Label1"], "AC");
    EXPECT_EQ(panel.state["Label7"], "v");
    EXPECT_EQ(panel.state["Label9"], "FREQ");
    EXPECT_EQ(panel.state["Label8"], "Hz");
    EXPECT_EQ(panel.state["Image1"], "2");
    EXPECT_EQ(panel.state["Label12"], "@2") << "phase byte 0 leaves the caption";
    EXPECT_EQ(panel.state["MainDataLabel"], "");
    EXPECT_EQ(panel.state["SlaveDataLabel"], "");
    EXPECT_EQ(list.unit, "v");

    const DataRecord& r = vars.DataRecords[1];
    EXPECT_EQ(r.No, 2);
    EXPECT_EQ(r.FunText, "");
    EXPECT_EQ(r.DataText, "");
    EXPECT_EQ(r.UnitText, "v");
    EXPECT_EQ(r.Value, 17.25);
    ASSERT_EQ(list.rows.size(), 2U);
    EXPECT_EQ(list.rows[0].No, 2) << "newest first";
    EXPECT_EQ(list.rows[1].No, 1);
}

TEST_F(ReadingCaptureTest, UnitBeforeAnyFunctionIsThePanelsDesignCaption)
{
    receive({.code = 0, .main = 1.0F});
    EXPECT_EQ(vars.DataRecords[0].UnitText, "kw");
}

TEST_F(ReadingCaptureTest, CaptionsOfSpaceAndEmptyAreSetAsTheyAre)
{
    receive({.code = 6, .main = 0.9F});
    EXPECT_EQ(panel.state["Label1"], " ");
    EXPECT_EQ(panel.state["Label9"], "");
    EXPECT_EQ(panel.state["Label8"], "PG");
    receive({.code = 7, .main = 12.5F});
    EXPECT_EQ(panel.state["Label9"], "");
    EXPECT_EQ(panel.state["Label8"], "");
}

TEST_F(ReadingCaptureTest, AnnunciatorsFollowEachFrame)
{
    receive({.wiring = 3, .flags = 0x03, .code = 1, .main = 230.0F});
    EXPECT_EQ(panel.state["Label6"], "shown");
    EXPECT_EQ(panel.state["Label13"], "shown");
    EXPECT_EQ(panel.state["Label4"], "shown");
    receive({.wiring = 2, .flags = 0x04, .code = 1, .main = 230.0F});
    EXPECT_EQ(panel.state["Label6"], "hidden");
    EXPECT_EQ(panel.state["Label13"], "hidden");
    EXPECT_EQ(panel.state["Label4"], "hidden");
}

TEST_F(ReadingCaptureTest, OverRangeIsStoredAsOlWithTheInstrumentsNumber)
{
    receive({.code = 1, .main = 812.5F});
    EXPECT_EQ(vars.DataRecords[0].DataText, "OL");
    EXPECT_EQ(vars.DataRecords[0].Value, 812.5);
}

TEST_F(ReadingCaptureTest, AfterAClearTheNextReadingIsRecordOneAgain)
{
    receive({.code = 1, .main = 229.9F});
    receive({.code = 2, .main = 5.5F});
    vars.DataCount = 0;

    receive({.code = 3, .main = 1.25F});

    EXPECT_EQ(vars.DataCount, 1);
    EXPECT_EQ(vars.DataRecords[0].No, 1);
    EXPECT_EQ(vars.DataRecords[0].FunText, "FUN_KW");
    EXPECT_EQ(vars.DataRecords[1].FunText, "FUN_AAC") << "stale records stay until overwritten";
}

TEST_F(ReadingCaptureTest, FullStoreStillShowsTheReadingButStoresNothing)
{
    vars.DataCount = kMaxRecords - 1;
    receive({.code = 1, .main = 229.9F});
    ASSERT_EQ(vars.DataCount, kMaxRecords);
    EXPECT_EQ(vars.DataRecords[kMaxRecords - 1].No, kMaxRecords);
    EXPECT_EQ(graph.seen.back(), kMaxRecords);

    receive({.code = 2, .main = 5.5F});

    EXPECT_EQ(vars.DataCount, kMaxRecords);
    EXPECT_EQ(vars.DataRecords[kMaxRecords - 1].FunText, "FUN_VAC");
    EXPECT_EQ(panel.state["MainDataLabel"], "5.5");
    EXPECT_EQ(list.mainText, "5.5");
    EXPECT_EQ(list.rows.size(), 1U);
    EXPECT_EQ(list.fullShown, 1) << "the counter does not show that the log is full";
    EXPECT_EQ(graph.seen.size(), 1U);
    EXPECT_EQ(clock.calls, 1);
}

TEST_F(ReadingCaptureTest, TheJournalGetsEveryReadingAsStoredAndThoseTheFullListCannotHold)
{
    RecordingJournal journal;
    capture.setJournal(&journal);
    vars.DataCount = kMaxRecords - 1;
    receive({.code = 1, .main = 229.9F});
    receive({.code = 2, .main = 5.5F});

    ASSERT_EQ(journal.readings.size(), 2U);
    const auto& stored = journal.readings[0];
    EXPECT_TRUE(stored.stored);
    EXPECT_EQ(stored.record.No, kMaxRecords);
    EXPECT_EQ(stored.record.DataText, "229.8");
    EXPECT_EQ(stored.frame, buildFrame({.code = 1, .main = 229.9F}));
    const auto& unstored = journal.readings[1];
    EXPECT_FALSE(unstored.stored);
    EXPECT_EQ(unstored.record.FunText, "FUN_AAC");
    EXPECT_EQ(unstored.record.DataText, "5.5");
    EXPECT_EQ(unstored.record.UnitText, "A");
    EXPECT_EQ(unstored.record.StampText, "2024-05-01\\14:03:07");
    EXPECT_EQ(vars.DataRecords[kMaxRecords - 1].FunText, "FUN_VAC") << "the list was written";
}

} // namespace
} // namespace clampmeter
