// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class DovecotServer;

// The demo mailbox: a user "demo" (password "demo") with a dozen messages of every kind the
// window shows: encoded and folded headers, an attachment, a large message, newsletters.

// Adds the user, starts the server with TLS and delivers the messages; false on any failure.
bool startDemoMailbox(DovecotServer& server);

// TARVOLK.INI with three accounts on the server: plain, TLS and STARTTLS, the certificate
// pinned by its fingerprint.
QString demoSettings(const DovecotServer& server);
