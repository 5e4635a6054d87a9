#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets the window's event loop run whenever a long piece of work has held it for about a frame:
// work on a hundred thousand messages, called for each of them, then neither freezes the window
// nor pays for the loop more than a few times a second.
class FrameBudget {
public:
    FrameBudget() { m_since.start(); }

    void yieldWhenSpent()
    {
        if (m_since.elapsed() < SliceMs)
            return;
        QCoreApplication::processEvents();
        m_since.start();
    }

private:
    static constexpr int SliceMs = 40;
    QElapsedTimer m_since;
};
