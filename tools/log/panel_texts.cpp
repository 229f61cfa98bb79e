// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/panel_texts.h"

#include "link/live_views.h"
#include "link/panel_view.h"
#include "link/reading_capture.h"

namespace clampmeter::cli {
namespace {

// A panel that keeps what it is told, for one reading.
class TextPanel final : public PanelView {
public:
    explicit TextPanel(PanelTexts& texts)
        : m_texts(texts)
    {
    }

    void setWiringVisible(bool visible) override { m_texts.wiring = visible; }
    void setPhaseCaption(std::string_view caption) override { m_texts.phase = caption; }
    void setBatVisible(bool visible) override { m_texts.bat = visible; }
    void setMrVisible(bool visible) override { m_texts.mr = visible; }
    void setNumberText(std::string_view text) override { m_texts.number = text; }
    void setClassCaption(std::string_view) override { }
    void setUnitCaption(std::string_view caption) override { m_texts.unit = caption; }
    void setSecondaryClassCaption(std::string_view) override { }
    void setSecondaryUnitCaption(std::string_view caption) override
    {
        m_texts.secondaryUnit = caption;
    }
    void setDialPicture(int) override { }
    void setMainText(std::string_view text) override { m_texts.main = text; }
    void setSecondaryText(std::string_view text) override { m_texts.secondary = text; }
    std::string unitCaption() const override { return m_texts.unit; }

private:
    PanelTexts& m_texts;
};

class NoList final : public ListLiveView {
public:
    void setUnitCaption(std::string_view) override { }
    void setMainText(std::string_view) override { }
    void insertRecordRow(const DataRecord&) override { }
    void showStoreFull() override { }
};

} // namespace

PanelTexts panelTexts(const MeasurementFrame& reading)
{
    PanelTexts texts;
    TextPanel panel(texts);
    NoList list;
    presentReading(reading, panel, list);
    if (reading.function != nullptr)
        texts.function = reading.function->id;
    return texts;
}

} // namespace clampmeter::cli
