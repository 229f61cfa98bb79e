// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QTest>
#include <QWidget>

#include <ostream>

namespace clampmeter::test {

/// A mouse press somewhere on a frameless window, and whether it should drag the window.
struct Press {
    const char* name;
    QPoint at; // in window coordinates
    Qt::MouseButton button;
    bool moves;
};

inline void PrintTo(const Press& row, std::ostream* out)
{
    *out << row.name;
}

/// Presses a button at a point of the shown window, moves the mouse by 30, 20 and releases,
/// the way a user drags; true when the window moved.
inline bool dragMovesWindow(QWidget* window, QPoint at, Qt::MouseButton button)
{
    window->move(100, 100);
    QWidget* target = window->childAt(at);
    if (target == nullptr)
        target = window;
    const QPoint local = target->mapFrom(window, at);
    QTest::mousePress(target, button, {}, local);
    QTest::mouseMove(target, local + QPoint(30, 20));
    QTest::mouseRelease(target, button, {}, local + QPoint(30, 20));
    return window->pos() != QPoint(100, 100);
}

} // namespace clampmeter::test
