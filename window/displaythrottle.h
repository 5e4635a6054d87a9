#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

// Passes the status line and the progress value on at most about ten times a second. A fetch
// reports every chunk that arrives; painting each one cost the window more than the fetch. A
// value is shown at once when nothing was shown in the last tenth of a second, otherwise at the
// end of it, so the latest value always shows; flush() shows it now. Idle, it costs nothing.
class DisplayThrottle : public QObject {
public:
    static constexpr int IntervalMs = 100;

    DisplayThrottle(std::function<void(const QString&)> showStatus,
                    std::function<void(int)> showProgress, QObject* parent = nullptr);

    void setStatus(const QString& text);
    void setProgress(int value);
    // Forgets a progress value not shown yet, for a new range that starts at 0.
    void dropProgress() { m_progress.reset(); }
    void flush();

private:
    void showOrWait();

    std::function<void(const QString&)> m_showStatus;
    std::function<void(int)> m_showProgress;
    std::optional<QString> m_status;
    std::optional<int> m_progress;
    QTimer m_quiet;
};
