#include "oauth/tokenlogin.h"

TokenSource::Result runWithToken(TokenSource& tokens, AccountSlot account,
                                 const TokenConversation& conversation)
{
    TokenSource::Result result = tokens.accessToken(account);
    if (result.outcome != TokenSource::Outcome::Granted)
        return result;
    account.AccessToken = result.token;
    account.TokenRetryAhead = result.fromMemory;
    if (!conversation(account) || !result.fromMemory)
        return result;
    result = tokens.accessToken(account, account.AccessToken);
    if (result.outcome != TokenSource::Outcome::Granted)
        return result;
    account.AccessToken = result.token;
    account.TokenRetryAhead = false;
    conversation(account);
    return result;
}
