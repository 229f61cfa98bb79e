// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/stop_notifier.h"

#include <QSocketNotifier>

namespace clampmeter {

StopNotifier::StopNotifier(const StopSignals& stop, QObject* parent)
    : QObject(parent)
{
    if (stop.wakeDescriptor() < 0)
        return;
    auto notifier = std::make_unique<QSocketNotifier>(stop.wakeDescriptor(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this, raw = notifier.get()] {
        raw->setEnabled(false);
        emit stopRequested();
    });
    m_watcher = std::move(notifier);
}

StopNotifier::~StopNotifier() = default;

} // namespace clampmeter
