// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/responsecode.h"

#include <QCoreApplication>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MailboxClient)
};

} // namespace

ResponseCode responseCodeOf(QByteArrayView reply)
{
    if (!reply.startsWith("-ERR [") && !reply.startsWith("-ERR["))
        return ResponseCode::None;
    const qsizetype open = reply.indexOf('[');
    const qsizetype close = reply.indexOf(']', open);
    if (close < 0)
        return ResponseCode::None;
    const QByteArray code = reply.sliced(open + 1, close - open - 1).toByteArray().toUpper();
    // Codes are hierarchical: "SYS/TEMP/..." is still a temporary problem.
    const auto is = [&](const QByteArray& name) {
        return code == name || code.startsWith(name + '/');
    };
    if (is("AUTH"))
        return ResponseCode::Auth;
    if (is("IN-USE"))
        return ResponseCode::InUse;
    if (is("LOGIN-DELAY"))
        return ResponseCode::LoginDelay;
    if (is("SYS/TEMP"))
        return ResponseCode::SysTemp;
    if (is("SYS/PERM"))
        return ResponseCode::SysPerm;
    return ResponseCode::Other;
}

int loginDelaySeconds(QByteArrayView arguments)
{
    qsizetype end = 0;
    qint64 seconds = 0;
    for (; end < arguments.size() && arguments[end] >= '0' && arguments[end] <= '9'; ++end)
        seconds = qMin<qint64>(MaxLoginDelaySeconds, seconds * 10 + (arguments[end] - '0'));
    const bool whole = end == arguments.size() || arguments[end] == ' ';
    return end > 0 && whole ? int(seconds) : -1;
}

bool meansWrongPassword(ResponseCode code)
{
    return code == ResponseCode::None || code == ResponseCode::Auth;
}

QString refusalText(ResponseCode code, int loginDelaySeconds)
{
    switch (code) {
    case ResponseCode::InUse:
        return Texts::tr(
            "Das Postfach wird gerade von einem anderen Programm benutzt. Bitte später "
            "nochmals abrufen.");
    case ResponseCode::LoginDelay: {
        const QString text = Texts::tr("Der Server erlaubt so bald noch keine neue Anmeldung.");
        if (loginDelaySeconds <= 0)
            return text;
        // Whole minutes, rounded up; past a limit a number tells the user nothing more.
        constexpr int MaxMinutes = 1000;
        const int minutes = loginDelaySeconds / 60 + (loginDelaySeconds % 60 != 0);
        return text + u' ' +
               (minutes == 1 ? Texts::tr("Er lässt nur eine Anmeldung in der Minute zu.")
                : minutes > MaxMinutes
                    ? Texts::tr("Er lässt nur in Abständen von über %1 Minuten eine Anmeldung zu.")
                          .arg(MaxMinutes)
                    : Texts::tr("Er lässt nur alle %1 Minuten eine Anmeldung zu.").arg(minutes));
    }
    case ResponseCode::SysTemp:
        return Texts::tr("Der Server hat gerade ein vorübergehendes Problem. Bitte später nochmals "
                         "abrufen.");
    case ResponseCode::SysPerm:
        return Texts::tr("Der Server meldet ein dauerhaftes Problem. Bitte an den Anbieter des "
                         "Postfachs wenden.");
    case ResponseCode::None:
    case ResponseCode::Auth:
    case ResponseCode::Other:
        break;
    }
    return Texts::tr("Anmeldung fehlgeschlagen");
}
