// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/tokenlogin.h"

TokenSource::Result runWithToken(TokenSource& tokens, const Account& account,
                                 const TokenConversation& conversation)
{
    TokenSource::Result result = tokens.accessToken(account);
    if (result.outcome != TokenSource::Outcome::Granted)
        return result;
    if (!conversation(account, {result.token, result.fromMemory}) || !result.fromMemory)
        return result;
    const QString refused = result.token;
    result = tokens.accessToken(account, refused);
    if (result.outcome != TokenSource::Outcome::Granted)
        return result;
    conversation(account, {result.token, false});
    return result;
}
