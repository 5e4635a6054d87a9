// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/dovecotserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <algorithm>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int ScriptTimeoutMs = 20000;
constexpr int StartAttempts = 3;

// Asks the system for a free loopback port. Another process may take it before dovecot binds
// it; start() then tries again with new ports.
QList<quint16> freePorts(int count)
{
    QList<QTcpServer*> servers;
    QList<quint16> ports;
    for (int i = 0; i < count; ++i) {
        auto* server = new QTcpServer;
        servers.append(server);
        if (server->listen(QHostAddress::LocalHost, 0)) {
            ports.append(server->serverPort());
        }
    }
    qDeleteAll(servers);
    return ports;
}

// The leading number of a maildir file name is a time stamp; dovecot numbers new messages
// by it, and so do we.
qint64 leadingNumber(const QString& name)
{
    qsizetype end = 0;
    while (end < name.size() && name.at(end).isDigit()) {
        ++end;
    }
    return name.left(end).toLongLong();
}

} // namespace

DovecotServer::DovecotServer()
    : m_dir(std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/tarvolk-dovecot-XXXXXX"))),
      m_firstSecond(QDateTime::currentSecsSinceEpoch())
{
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("cannot create a folder under /tmp: ") + m_dir->errorString();
    }
}

DovecotServer::~DovecotServer()
{
    stop();
}

QString DovecotServer::scriptPath()
{
    const QByteArray sourceDir = qgetenv("TARVOLK_SOURCE_DIR");
    if (!sourceDir.isEmpty()) {
        return QString::fromLocal8Bit(sourceDir) + QStringLiteral("/scripts/dovecot-harness.sh");
    }
    return QStringLiteral(TARVOLK_DOVECOT_HARNESS);
}

QString DovecotServer::unavailableReason()
{
    const QStringList sbin{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    if (QStandardPaths::findExecutable(QStringLiteral("dovecot")).isEmpty() &&
        QStandardPaths::findExecutable(QStringLiteral("dovecot"), sbin).isEmpty()) {
        return QStringLiteral("dovecot is not installed (scripts/deps.sh test)");
    }
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) {
        return QStringLiteral("openssl is not installed (scripts/deps.sh test)");
    }
    if (!QFileInfo::exists(scriptPath())) {
        return QStringLiteral("harness script not found: ") + scriptPath();
    }
    return {};
}

bool DovecotServer::requiredHere()
{
    const QByteArray ci = qgetenv("CI").trimmed().toLower();
    return !ci.isEmpty() && ci != "0" && ci != "false";
}

bool DovecotServer::runScript(const QStringList& arguments, int timeoutMs, QByteArray* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVOLK_DOVECOT_OWNER"),
                       QString::number(QCoreApplication::applicationPid()));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("bash"), QStringList{scriptPath()} + arguments);
    if (!process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot run bash: ") + process.errorString();
        return false;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        m_error = QStringLiteral("harness script timed out: ") + arguments.join(QLatin1Char(' '));
        return false;
    }
    const QByteArray out = process.readAll();
    if (output) {
        *output = out;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("harness script failed (") + arguments.join(QLatin1Char(' ')) +
                  QStringLiteral("):\n") + QString::fromLocal8Bit(out);
        return false;
    }
    return true;
}

bool DovecotServer::start(Tls tls)
{
    if (!m_dir->isValid()) {
        return false;
    }
    const QString reason = unavailableReason();
    if (!reason.isEmpty()) {
        m_error = reason;
        return false;
    }
    stop();
    for (int attempt = 0; attempt < StartAttempts; ++attempt) {
        bool portTaken = false;
        if (tryStart(tls, &portTaken)) {
            return true;
        }
        if (!portTaken) {
            break;
        }
    }
    m_port = 0;
    m_tlsPort = 0;
    return false;
}

bool DovecotServer::setExtraConfig(const QByteArray& settings)
{
    QFile file(directory() + QStringLiteral("/extra.conf"));
    return file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size();
}

bool DovecotServer::tryStart(Tls tls, bool* portTaken)
{
    const QList<quint16> ports = freePorts(tls == Tls::On ? 2 : 1);
    if (ports.size() != (tls == Tls::On ? 2 : 1)) {
        m_error = QStringLiteral("no free port on 127.0.0.1");
        return false;
    }
    QStringList arguments{QStringLiteral("start"), directory(), QString::number(ports.at(0))};
    if (tls == Tls::On) {
        arguments.append(QString::number(ports.at(1)));
    }
    QByteArray output;
    if (!runScript(arguments, ScriptTimeoutMs, &output)) {
        *portTaken = output.contains("Address already in use");
        return false;
    }
    m_port = ports.at(0);
    m_tlsPort = tls == Tls::On ? ports.at(1) : 0;
    m_running = true;
    // The harness reports a start only once the pid file is there.
    QFile pidFile(directory() + QStringLiteral("/run/master.pid"));
    m_pid = pidFile.open(QIODevice::ReadOnly) ? QString::fromLatin1(pidFile.readAll().trimmed())
                                              : QString();
    m_error.clear();
    return true;
}

void DovecotServer::stop()
{
    // A start that timed out may still have left a server running.
    if (!QFile::exists(directory() + QStringLiteral("/dovecot.conf"))) {
        return;
    }
    QStringList arguments{QStringLiteral("stop"), directory()};
    if (!m_pid.isEmpty()) {
        arguments.append(m_pid);
    }
    runScript(arguments, ScriptTimeoutMs, nullptr);
    m_running = false;
    m_pid.clear();
}

bool DovecotServer::addUser(const QString& name, const QString& password)
{
    if (!m_dir->isValid()) {
        return false;
    }
    return runScript({QStringLiteral("adduser"), directory(), name, password}, ScriptTimeoutMs,
                     nullptr);
}

QString DovecotServer::deliver(const QString& user, const QByteArray& message)
{
    const QString maildir = maildirPath(user);
    if (!QFileInfo(maildir + QStringLiteral("/new")).isDir()) {
        m_error = QStringLiteral("no maildir for user ") + user;
        return {};
    }
    // One second per message keeps dovecot's numbering in delivery order however fast we are.
    const QString id = QStringLiteral("%1.M%2P%3.tarvolk")
                           .arg(m_firstSecond + m_delivered)
                           .arg(m_delivered)
                           .arg(QCoreApplication::applicationPid());
    ++m_delivered;

    // Written in tmp/ and moved into new/, so dovecot never sees half a message.
    const QString temporary = maildir + QStringLiteral("/tmp/") + id;
    const QString final = maildir + QStringLiteral("/new/") + id;
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size()) {
        m_error =
            QStringLiteral("cannot write ") + temporary + QStringLiteral(": ") + file.errorString();
        return {};
    }
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    // The mail processes run as the maildir's owner (not root), and it should own its mail.
    const QFileInfo owner(maildir);
    if (::chown(QFile::encodeName(temporary).constData(), owner.ownerId(), owner.groupId()) != 0 ||
        !QFile::rename(temporary, final)) {
        m_error = QStringLiteral("cannot move the message into ") + final;
        QFile::remove(temporary);
        return {};
    }
    return id;
}

QStringList DovecotServer::messageIds(const QString& user) const
{
    QStringList ids;
    for (const char* sub : {"/new", "/cur"}) {
        const QDir dir(maildirPath(user) + QLatin1String(sub));
        for (const QString& name : dir.entryList(QDir::Files)) {
            // dovecot appends ":2,<flags>" when it moves a message into cur/.
            ids.append(name.section(QLatin1Char(':'), 0, 0));
        }
    }
    std::sort(ids.begin(), ids.end(), [](const QString& a, const QString& b) {
        const qint64 left = leadingNumber(a);
        const qint64 right = leadingNumber(b);
        return left != right ? left < right : a < b;
    });
    return ids;
}

QString DovecotServer::maildirPath(const QString& user) const
{
    return directory() + QStringLiteral("/mail/") + user;
}

QString DovecotServer::directory() const
{
    return m_dir->path();
}

QString DovecotServer::logPath() const
{
    return directory() + QStringLiteral("/dovecot.log");
}

QByteArray DovecotServer::log() const
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString DovecotServer::certificatePath() const
{
    return m_tlsPort != 0 ? directory() + QStringLiteral("/cert.pem") : QString();
}
