// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

// The bracketed code a server may put after "-ERR" to say why it refused (RFC 2449, RFC 3206).
enum class ResponseCode { None, Auth, InUse, LoginDelay, SysTemp, SysPerm, Other };

ResponseCode responseCodeOf(QByteArrayView reply);

// Whether a refusal of the password or of AUTH means the password itself was wrong.
bool meansWrongPassword(ResponseCode code);

// The seconds a server's LOGIN-DELAY capability announces ("900" or "900 USER"), at most
// MaxLoginDelaySeconds; -1 when its arguments begin with no number.
constexpr int MaxLoginDelaySeconds = 1000 * 1000 * 1000;
int loginDelaySeconds(QByteArrayView arguments);

// What the user is told of a refused log-in. loginDelaySeconds is what the server announced as
// LOGIN-DELAY, or -1.
QString refusalText(ResponseCode code, int loginDelaySeconds);
