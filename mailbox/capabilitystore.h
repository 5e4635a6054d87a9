// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/capabilities.h"

#include <QHash>
#include <QString>

// What each server announced, kept across runs of the program, so that the first press of a run
// may send its commands ahead as later presses do; the server's answer still decides. A small
// file beside the previews on disk, written whole and renamed into place.
class CapabilityStore {
public:
    explicit CapabilityStore(QString folder);

    // By mailbox (AccountIdentity::key); empty when nothing is kept or the file is not ours.
    QHash<QString, Capabilities> load() const;
    void save(const QHash<QString, Capabilities>& announced) const;

private:
    QString m_path;
};
