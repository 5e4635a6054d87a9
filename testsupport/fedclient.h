// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxclient.h"
#include "testsupport/fedtransport.h"
#include "testsupport/recordingview.h"

#include <memory>

// A mailbox client on a fed transport, and the view it reports to.
struct FedClient {
    RecordingView view;
    FedTransport* transport = new FedTransport; // owned by the client
    MailboxClient client{view, std::unique_ptr<Transport>(transport)};
};
