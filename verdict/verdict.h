// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/finding.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// What a message's header block tells the user before deleting it: who vouches for the sender,
// what the server's spam filter says, and addresses that pretend. No finding: nothing stands out.
struct Verdict {
    QList<Finding> findings; // the gravest first, at most one of each kind
};

// Judges a header block as "top" answers it (anything after the empty line that ends it is not
// read). Any bytes are safe; a block beyond maxHeaderBlockSize (headerfields.h) is read only that
// far. Authentication-Results are read only from the server trustedAuthServId names (see
// authservid.h); with an empty id the sender is neither confirmed nor doubted.
Verdict judgeHeaderBlock(QByteArrayView headerBlock, const QString& trustedAuthServId);
