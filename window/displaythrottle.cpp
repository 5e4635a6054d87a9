// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/displaythrottle.h"

#include <utility>

DisplayThrottle::DisplayThrottle(std::function<void(const QString&)> showStatus,
                                 std::function<void(int)> showProgress,
                                 std::function<void()> showList, QObject* parent)
    : QObject(parent), m_showStatus(std::move(showStatus)), m_showProgress(std::move(showProgress)),
      m_showList(std::move(showList))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(IntervalMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        if (m_status || m_progress || m_list) {
            flush();
            m_quiet.start();
        }
    });
}

void DisplayThrottle::setStatus(const QString& text)
{
    m_status = text;
    showOrWait();
}

void DisplayThrottle::setProgress(int value)
{
    m_progress = value;
    showOrWait();
}

void DisplayThrottle::listChanged()
{
    m_list = true;
    showOrWait();
}

void DisplayThrottle::showOrWait()
{
    if (m_quiet.isActive())
        return;
    flush();
    m_quiet.start();
}

void DisplayThrottle::flush()
{
    if (m_status)
        m_showStatus(*std::exchange(m_status, std::nullopt));
    if (m_progress)
        m_showProgress(*std::exchange(m_progress, std::nullopt));
    if (std::exchange(m_list, false))
        m_showList();
}
