// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/reading_panel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPainter>
#include <QStringList>

#include <utility>

namespace clampmeter {
namespace {

class ReadingPanelAccessible final : public QAccessibleWidget {
public:
    explicit ReadingPanelAccessible(ReadingPanel* panel)
        : QAccessibleWidget(panel, QAccessible::Grouping)
    {
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Description)
            return static_cast<const ReadingPanel*>(widget())->spokenReading();
        return QAccessibleWidget::text(which);
    }
};

QAccessibleInterface* readingPanelAccessible(const QString& className, QObject* object)
{
    // ReadingPanel has no meta-object of its own: it is asked for as a QWidget.
    if (className != QLatin1String("QWidget"))
        return nullptr;
    auto* panel = dynamic_cast<ReadingPanel*>(object);
    return panel != nullptr ? new ReadingPanelAccessible(panel) : nullptr;
}

} // namespace

ReadingPanel::ReadingPanel(
    const char* name, const QColor& colour, const QRect& geometry, QWidget* parent)
    : InertPanel(name, colour, geometry, parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(readingPanelAccessible);
        return true;
    }();
    (void)installed;
    setFocusPolicy(Qt::TabFocus);
}

void ReadingPanel::setReadingLabels(LabelGroups groups)
{
    m_groups = std::move(groups);
}

QString ReadingPanel::spokenReading() const
{
    QStringList spokenGroups;
    for (const auto& group : m_groups) {
        QStringList texts;
        for (const QLabel* label : group)
            if (!label->isHidden() && !label->text().trimmed().isEmpty())
                texts << label->text().trimmed();
        if (!texts.isEmpty())
            spokenGroups << texts.join(QLatin1Char(' '));
    }
    return spokenGroups.join(QStringLiteral(", "));
}

void ReadingPanel::paintEvent(QPaintEvent*)
{
    if (hasFocus()) {
        QPainter painter(this);
        paintFocusFrame(painter, rect());
    }
}

} // namespace clampmeter
