// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

// Passes the status line, the progress value and changes of the message list on at most about
// ten times a second. A fetch reports every chunk and every message that arrives; painting each
// one cost the window more than the fetch. A change is shown at once when nothing was shown in
// the last tenth of a second, otherwise at the end of it, so the latest state always shows;
// flush() shows it now. Idle, it costs nothing.
class DisplayThrottle : public QObject {
public:
    static constexpr int IntervalMs = 100;

    DisplayThrottle(std::function<void(const QString&)> showStatus,
                    std::function<void(int)> showProgress, std::function<void()> showList,
                    QObject* parent = nullptr);

    void setStatus(const QString& text);
    void setProgress(int value);
    // The message list has entries or details not shown yet.
    void listChanged();
    // Forgets a progress value not shown yet, for a new range that starts at 0.
    void dropProgress() { m_progress.reset(); }
    void flush();

private:
    void showOrWait();

    std::function<void(const QString&)> m_showStatus;
    std::function<void(int)> m_showProgress;
    std::function<void()> m_showList;
    std::optional<QString> m_status;
    std::optional<int> m_progress;
    bool m_list = false;
    QTimer m_quiet;
};
