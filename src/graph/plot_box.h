// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_view.h"
#include "graph/plot_drawing.h"
#include "shared/var_module.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>

namespace clampmeter {

class ValueLabel;

/// The plot box Picture1: the plot drawn from the graph state in its own units (605 across,
/// 543 down inside a one-pixel border), under a cross-hair pointer, with the newest-reading
/// marker and the cursor readout as separate items on top that the drawing never erases.
/// Pointer movements are reported in plot units. The plot is kept as a picture at the
/// screen's resolution, so that a new reading paints its own few pixels, and what moving
/// markers uncover is copied from the picture rather than drawn again.
class PlotBox final : public QWidget {
    Q_OBJECT

public:
    enum class Marker { Newest, Readout };

    PlotBox(const VarModule& vars, QWidget* parent);

    /// Draws the plot again from the graph state (once the current handler is done).
    void redraw();
    /// The newest point joined the page and nothing else changed: adds its segment and dot
    /// to the kept picture of the box and repaints only where they fall. Anything the
    /// picture cannot follow this way (a redraw pending, a new size or pixel ratio, a point
    /// count that does not follow on) redraws in full instead.
    void addNewestPoint();

    /// Moves the marker's lines and label to the point and fills its three captions, then
    /// shows all five items.
    void showMarker(Marker which, const PointMarker& marker);
    /// Hides all five items of the marker.
    void hideMarker(Marker which);

signals:
    /// The pointer moved to (x, y) in plot units; the box is 605 × 543 units inside.
    void pointerMoved(double x, double y);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    /// Line1/Line3 (vertical), Line2/Line4 (horizontal), the label beside the point and the
    /// function and time captions.
    struct MarkerItems {
        QWidget* vertical = nullptr;
        QWidget* horizontal = nullptr;
        ValueLabel* reading = nullptr;
        ValueLabel* function = nullptr;
        ValueLabel* time = nullptr;
        int thickness = 1;

        std::array<QWidget*, 5> all() const;
    };

    void buildMarkers();
    /// A point in plot units as a pixel position in the box, kept within a range widgets
    /// can hold: a point far off the box stays far off, only not billions of pixels off.
    QPoint toPixels(double x, double y) const;

    /// Draws the whole plot into the kept picture, at the box's size and pixel ratio.
    void paintPicture();
    bool pictureFits() const;

    const VarModule& m_vars;
    PlotDrawing m_drawing;
    QPixmap m_picture;
    bool m_pictureValid = false;
    std::int32_t m_pictureHolds = 0; ///< points drawn into the picture
    std::array<MarkerItems, 2> m_markers;
};

} // namespace clampmeter
