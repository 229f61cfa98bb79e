// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QString>

namespace clampmeter {

/// A label that shows a value. Assistive tools read its accessible name as what it is
/// ("Main reading") and its text ("229.8") through the text interface; a plain QLabel with
/// an accessible name hides its text from them.
class ValueLabel : public QLabel {
public:
    explicit ValueLabel(const QString& text, QWidget* parent = nullptr);

    /// Shows `text` and tells assistive tools, when one listens, that the text changed.
    /// The same text again changes nothing and tells nothing.
    void showValue(const QString& text);
};

} // namespace clampmeter
