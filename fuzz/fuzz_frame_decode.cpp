// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any 17 bytes through decoding and every text rule of the panel: the texts are printable
// ASCII, and the same frame always decodes and shows the same way.

#include "fuzz_check.h"
#include "link/live_views.h"
#include "link/measurement_frame.h"
#include "link/panel_view.h"
#include "link/reading_capture.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace clampmeter;
using fuzz::check;
using fuzz::isPrintableAscii;

/// Keeps every text the panel and the list would show, in order.
class TextRecorder final : public PanelView, public ListLiveView {
public:
    void setWiringVisible(bool) override { }
    void setPhaseCaption(std::string_view caption) override { keep(caption); }
    void setBatVisible(bool) override { }
    void setMrVisible(bool) override { }
    void setNumberText(std::string_view text) override { keep(text); }
    void setClassCaption(std::string_view caption) override { keep(caption); }
    void setUnitCaption(std::string_view caption) override
    {
        m_unit = caption;
        keep(caption);
    }
    void setSecondaryClassCaption(std::string_view caption) override { keep(caption); }
    void setSecondaryUnitCaption(std::string_view caption) override { keep(caption); }
    void setDialPicture(int picture) override
    {
        check(picture >= 1 && picture <= 8, "dial picture");
    }
    void setMainText(std::string_view text) override { keep(text); }
    void setSecondaryText(std::string_view text) override { keep(text); }
    std::string unitCaption() const override { return m_unit; }
    void insertRecordRow(const DataRecord&) override { }
    void showStoreFull() override { }

    std::vector<std::string> texts;

private:
    void keep(std::string_view text)
    {
        check(isPrintableAscii(text), "a shown text is not printable ASCII");
        texts.emplace_back(text);
    }
    std::string m_unit;
};

std::vector<std::string> decodeAndShow(FrameBytes bytes)
{
    const MeasurementFrame frame = decodeFrame(bytes);
    for (const std::string* text : {&frame.numberText, &frame.MainText, &frame.SecondaryText})
        check(isPrintableAscii(*text), "a decoded text is not printable ASCII");
    check(frame.function == nullptr || (frame.function->code >= 1 && frame.function->code <= 7),
        "function entry outside the table");
    TextRecorder recorder;
    presentReading(frame, recorder, recorder);
    std::vector<std::string> texts = std::move(recorder.texts);
    texts.insert(texts.end(), {frame.numberText, frame.MainText, frame.SecondaryText});
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kFrameSize)
        return 0;
    std::array<std::uint8_t, kFrameSize> bytes {};
    std::memcpy(bytes.data(), data, kFrameSize);
    check(decodeAndShow(bytes) == decodeAndShow(bytes), "the same frame decoded two ways");

    // The number rules on their own, for the floats the frame carries at every precision.
    float value = 0.0F;
    std::memcpy(&value, data + 7, sizeof value);
    for (int decimals = -1; decimals <= 4; ++decimals)
        check(isPrintableAscii(truncatedText(value, decimals)), "truncatedText not printable");
    check(isPrintableAscii(twoDigitText(data[4])), "twoDigitText not printable");
    return 0;
}
