// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/widget_helpers.h"

#include <QString>

#include <vector>

class QLabel;

namespace clampmeter {

/// A panel of labels that together show a reading. The keyboard reaches it (Tab) and a
/// dotted frame shows the focus; assistive tools read the reading as its description
/// ("231.3 v AC"), made from its labels' texts when they ask, so that a screen reader says
/// it whenever the user lands on the panel or asks where they are, and nothing is announced
/// by the panel itself as readings arrive.
class ReadingPanel final : public InertPanel {
public:
    /// Groups of labels: within a group the texts are joined by spaces, groups by commas.
    /// Hidden labels and empty texts are left out.
    using LabelGroups = std::vector<std::vector<const QLabel*>>;

    ReadingPanel(const char* name, const QColor& colour, const QRect& geometry, QWidget* parent);

    void setReadingLabels(LabelGroups groups);
    QString spokenReading() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LabelGroups m_groups;
};

} // namespace clampmeter
