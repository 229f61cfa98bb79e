// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/stop_signals.h"

#include <QObject>

#include <memory>

namespace clampmeter {

/// Wakes a Qt event loop once a stop is requested: watches the StopSignals' wake descriptor
/// (an event handle on Windows) and says so once.
class StopNotifier final : public QObject {
    Q_OBJECT

public:
    /// `stop` must outlive this object. Watches nothing when it has nothing to wake.
    explicit StopNotifier(const StopSignals& stop, QObject* parent = nullptr);
    ~StopNotifier() override;

signals:
    void stopRequested();

private:
    std::unique_ptr<QObject> m_watcher; ///< the platform's notifier
};

} // namespace clampmeter
