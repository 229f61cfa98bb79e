// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/value_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>

#include <algorithm>

namespace clampmeter {
namespace {

/// A label as assistive tools see it: its accessible name says what it is ("Main reading"),
/// its text what it shows ("229.8"), as plain read-only text that a screen reader can read
/// on request and is told about when it changes.
class ValueLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueLabelAccessible(ValueLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Value)
            return shown();
        if (which == QAccessible::Name && widget()->accessibleName().isEmpty())
            return shown();
        return QAccessibleWidget::text(which);
    }

    // Read-only text: no selection, no cursor to move.
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }

    QString text(int startOffset, int endOffset) const override
    {
        const QString all = shown();
        const auto size = static_cast<int>(all.size());
        const int start = std::clamp(startOffset, 0, size);
        const int end = endOffset < 0 ? size : std::clamp(endOffset, start, size);
        return all.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }

    QRect characterRect(int offset) const override
    {
        const QString all = shown();
        if (offset < 0 || offset >= all.size())
            return {};
        const QFontMetrics metrics(widget()->font());
        const QRect box = rect(); // on the screen
        const int left = metrics.horizontalAdvance(all.left(offset));
        return {box.x() + left, box.y(), metrics.horizontalAdvance(all.at(offset)), box.height()};
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QString all = shown();
        const QFontMetrics metrics(widget()->font());
        const int x = point.x() - rect().x();
        for (int i = 0; i < all.size(); ++i)
            if (x < metrics.horizontalAdvance(all.left(i + 1)))
                return i;
        return -1;
    }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QString shown() const { return static_cast<const QLabel*>(widget())->text(); }
};

QAccessibleInterface* valueLabelAccessible(const QString& className, QObject* object)
{
    // ValueLabel has no meta-object of its own: it is asked for as a QLabel.
    if (className != QLatin1String("QLabel"))
        return nullptr;
    auto* label = dynamic_cast<ValueLabel*>(object);
    return label != nullptr ? new ValueLabelAccessible(label) : nullptr;
}

} // namespace

ValueLabel::ValueLabel(const QString& text, QWidget* parent)
    : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelAccessible);
        return true;
    }();
    (void)installed;
    setTextFormat(Qt::PlainText);
    // Set here, not by QLabel's constructor: setting the text may make Qt create and keep
    // the label's accessible interface, which must be made once this is a ValueLabel.
    setText(text);
}

void ValueLabel::showValue(const QString& text)
{
    if (text == QLabel::text())
        return;
    const QString before = QLabel::text();
    setText(text);
    if (QAccessible::isActive()) {
        // Told as a change of text (a screen reader speaks it where the user asked to hear
        // such changes), not of a value, which a label has no interface for.
        QAccessibleTextUpdateEvent event(this, 0, before, text);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace clampmeter
