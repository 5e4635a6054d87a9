// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyring/keyring.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace Keyring {

namespace {

QString service(Space space)
{
    return space == Space::Passwords ? QStringLiteral("Tarvolk") : QStringLiteral("Tarvolk OAuth2");
}

struct Outcome {
    bool finished = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Runs the job, which deletes itself once finished: so a loop left early (the program quitting)
// leaves nothing behind that a late answer of the keyring could reach. The outcome is taken when
// the job finishes, as the job may be gone right after.
Outcome runToEnd(QKeychain::Job* job)
{
    Outcome outcome;
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        outcome.finished = true;
        outcome.error = done->error();
        if (const auto* reading = qobject_cast<QKeychain::ReadPasswordJob*>(done))
            outcome.text = reading->textData();
        loop.quit();
    });
    job->start();
    if (!outcome.finished)
        loop.exec();
    return outcome;
}

} // namespace

Entry read(Space space, const QString& key)
{
    auto* job = new QKeychain::ReadPasswordJob(service(space));
    job->setKey(key);
    const Outcome outcome = runToEnd(job);
    Entry entry;
    if (outcome.finished && outcome.error == QKeychain::NoError) {
        entry.status = Status::Found;
        entry.password = outcome.text;
    } else if (outcome.finished && outcome.error == QKeychain::EntryNotFound) {
        entry.status = Status::NotFound;
    }
    return entry;
}

bool write(Space space, const QString& key, const QString& secret)
{
    auto* job = new QKeychain::WritePasswordJob(service(space));
    job->setKey(key);
    job->setTextData(secret);
    const Outcome outcome = runToEnd(job);
    return outcome.finished && outcome.error == QKeychain::NoError;
}

bool remove(Space space, const QString& key)
{
    auto* job = new QKeychain::DeletePasswordJob(service(space));
    job->setKey(key);
    const Outcome outcome = runToEnd(job);
    return outcome.finished && outcome.error == QKeychain::NoError;
}

} // namespace Keyring
