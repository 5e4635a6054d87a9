// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rules/rulesfile.h"

#include "settings/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(RulesFile)
};

constexpr int SettleMs = 150;

// The file's bytes for adding a rule: empty for a missing file; false when it cannot be read
// as a rules file.
bool readForEditing(const QString& path, QByteArray& bytes, QString& problem)
{
    const IniFile checked = readIniFile(path);
    if (checked.status == IniFile::Status::Missing)
        return true;
    problem = checked.problem();
    QFile file(path);
    if (!problem.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        problem =
            problem.isEmpty() ? Texts::tr("%1 kann nicht gelesen werden.").arg(path) : problem;
        return false;
    }
    bytes = file.read(IniFile::MaxSize + 1);
    return bytes.size() <= IniFile::MaxSize && file.error() == QFileDevice::NoError;
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString rulesFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("tarvolk/regeln.ini"));
}

RulesFile::RulesFile(const QString& path, QObject* parent) : QObject(parent), m_path(path)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        watch();
        read();
    });
    const auto settle = [this] {
        m_settle.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, settle);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, settle);
    watch();
    read();
}

QString RulesFile::problem() const
{
    return m_fileProblem.isEmpty() ? m_rules.problem : m_fileProblem;
}

void RulesFile::watch()
{
    // A file replaced by renaming another over it is no longer watched: its folder tells, and
    // the folder above it tells when the folder itself appears.
    const QFileInfo file(m_path);
    const QString folder = file.absolutePath();
    QStringList wanted;
    for (const QString& path : {m_path, folder, QFileInfo(folder).absolutePath()}) {
        if (QFileInfo::exists(path) && !m_watcher.files().contains(path) &&
            !m_watcher.directories().contains(path))
            wanted.append(path);
        if (QFileInfo::exists(path) && path != m_path)
            break;
    }
    if (!wanted.isEmpty())
        m_watcher.addPaths(wanted);
}

void RulesFile::read()
{
    const IniFile file = readIniFile(m_path);
    const MarkingRules rules = readMarkingRules(file.document);
    const QString fileProblem = file.problem();
    if (rules == m_rules && fileProblem == m_fileProblem)
        return;
    m_rules = rules;
    m_fileProblem = fileProblem;
    emit changed();
}

QString RulesFile::add(RuleSection section, RuleKind kind, const QString& value)
{
    QByteArray bytes;
    QString problem;
    if (!readForEditing(m_path, bytes, problem))
        return problem.isEmpty() ? Texts::tr("%1 ist zu groß.").arg(m_path) : problem;
    // "Absender gewinn@lotto.example", "[Markieren]"
    const QString rule = keyName(kind) + u' ' + value;
    const QString where = u'[' + sectionName(section) + u']';
    switch (addRule(bytes, section, kind, value)) {
    case RuleAdded::AlreadyThere:
        return Texts::tr("%1 steht schon in %2.").arg(rule, where);
    case RuleAdded::NoRoomLeft:
        return Texts::tr("%1 in %2 hat keinen Platz für weitere Regeln dieser Art.")
            .arg(where, m_path);
    case RuleAdded::NotWritable:
        return Texts::tr("%1 lässt sich nicht in %2 schreiben.").arg(rule, m_path);
    case RuleAdded::Added:
        break;
    }
    if (!writeAtomically(m_path, bytes))
        return Texts::tr("%1 konnte nicht geschrieben werden.").arg(m_path);
    watch();
    read();
    return Texts::tr("%1 in %2 eingetragen.").arg(rule, where);
}
