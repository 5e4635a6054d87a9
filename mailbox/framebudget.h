// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets the window's event loop run whenever a long piece of work has held it for about a frame:
// work on a hundred thousand messages, called for each of them, then neither freezes the window
// nor pays for the loop more than a few times a second. All budgets of a thread share one clock,
// so that work passed from one long loop to the next still lets the loop run in time.
class FrameBudget {
public:
    void yieldWhenSpent()
    {
        QElapsedTimer& since = sinceLastYield();
        if (since.isValid() && since.elapsed() < SliceMs)
            return;
        QCoreApplication::processEvents();
        since.start();
    }

    // Lets go of a long list or table a piece at a time: freeing a hundred thousand rows with
    // their texts at once would hold up the window. One shared with another holder frees nothing
    // now and is merely dropped.
    template <typename List> void releaseList(List& list)
    {
        while (list.isDetached() && !list.isEmpty()) {
            list.resize(qMax<qsizetype>(0, list.size() - ReleaseStep));
            yieldWhenSpent();
        }
        list = List();
    }
    template <typename Hash> void releaseHash(Hash& hash)
    {
        if (hash.isDetached()) {
            for (auto it = hash.begin(); it != hash.end(); yieldWhenSpent())
                it = hash.erase(it);
        }
        hash = Hash();
    }

private:
    static QElapsedTimer& sinceLastYield()
    {
        thread_local QElapsedTimer since;
        return since;
    }

    // Well below the 100 ms at which a window feels stuck, with room for the painting.
    static constexpr int SliceMs = 25;
    static constexpr qsizetype ReleaseStep = 1024;
};
