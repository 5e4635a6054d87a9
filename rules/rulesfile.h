// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/markingrules.h"
#include "rules/rulesfileedit.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// $XDG_CONFIG_HOME/tarvolk/regeln.ini (~/.config/tarvolk/regeln.ini).
QString rulesFilePath();

// The rules file as it is on disk: read at the start and again whenever it changes, also when an
// editor replaces it by another file. A file that cannot be read (see settings/inifile.h) or a
// value that cannot be used gives a problem and no rules from it; nothing about it is fatal.
class RulesFile : public QObject {
    Q_OBJECT
public:
    explicit RulesFile(const QString& path = rulesFilePath(), QObject* parent = nullptr);

    const MarkingRules& rules() const { return m_rules; }
    // Why the file or one of its values was not taken, in German; empty when all was.
    QString problem() const;
    QString path() const { return m_path; }

    // Adds the rule to the file (rulesfileedit.h) and writes it atomically, creating folder and
    // file when needed. Returns what was done, or why not, for the status line.
    QString add(RuleSection section, RuleKind kind, const QString& value);

signals:
    // The rules or their problem differ from before.
    void changed();

private:
    void read();
    void watch();

    QString m_path;
    QString m_fileProblem;
    MarkingRules m_rules;
    QFileSystemWatcher m_watcher;
    // Editors write in steps; the file is read once they are done.
    QTimer m_settle;
};
