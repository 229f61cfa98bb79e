// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/value_label.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace clampmeter {
namespace {

class ValueLabelAccessible final : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(ValueLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text which) const override
    {
        const QString shown = static_cast<const QLabel*>(widget())->text();
        if (which == QAccessible::Value)
            return shown;
        if (which == QAccessible::Name && widget()->accessibleName().isEmpty())
            return shown;
        return QAccessibleWidget::text(which);
    }
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
    setText(text);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, text);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace clampmeter
