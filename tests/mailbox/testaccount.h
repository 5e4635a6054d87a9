#pragma once

#include "settings/accountslots.h"

// An account on a test server, with the user and password the scripted log-ins expect.
inline AccountSlot testAccount(const QString& host, const QString& user = QStringLiteral("joe"),
                               const QString& password = QStringLiteral("secret"))
{
    AccountSlot slot;
    slot.Title = QStringLiteral("Test");
    slot.Host = host;
    slot.Account = user;
    slot.Password = password;
    return slot;
}
