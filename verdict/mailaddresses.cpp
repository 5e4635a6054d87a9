// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/mailaddresses.h"

#include "verdict/domainnames.h"

#include <gmime/gmime.h>

namespace {

constexpr int maxAddresses = 32;

void initialiseGMimeOnce()
{
    [[maybe_unused]] static const bool initialised = [] {
        g_mime_init();
        return true;
    }();
}

MailAddress mailAddress(InternetAddress* address)
{
    auto* mailbox = INTERNET_ADDRESS_MAILBOX(address);
    MailAddress result;
    result.name = QString::fromUtf8(internet_address_get_name(address)).trimmed();
    // GMime shows a punycode domain in Unicode already.
    result.address = QString::fromUtf8(internet_address_mailbox_get_addr(mailbox));
    const qsizetype at = result.address.lastIndexOf(u'@');
    if (at >= 0)
        result.domain = unicodeDomain(result.address.sliced(at + 1));
    return result;
}

void appendMailboxes(InternetAddressList* list, QList<MailAddress>& addresses)
{
    const int count = list ? internet_address_list_length(list) : 0;
    for (int i = 0; i < count && addresses.size() < maxAddresses; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address))
            addresses.append(mailAddress(address));
        else if (INTERNET_ADDRESS_IS_GROUP(address))
            appendMailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)),
                            addresses);
    }
}

} // namespace

QList<MailAddress> readMailAddresses(QByteArrayView value)
{
    initialiseGMimeOnce();
    // GMime reads up to the first NUL byte.
    const QByteArray text = value.toByteArray();
    InternetAddressList* list = internet_address_list_parse(nullptr, text.constData());
    QList<MailAddress> addresses;
    appendMailboxes(list, addresses);
    if (list)
        g_object_unref(list);
    return addresses;
}
