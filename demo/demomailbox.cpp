// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "demo/demomailbox.h"

#include "testsupport/dovecotserver.h"
#include "testsupport/testmail.h"

#include <QFile>
#include <QSslCertificate>

namespace {

QList<TestMail::Message> demoMessages()
{
    QList<TestMail::Message> messages;
    TestMail::Message welcome;
    welcome.from = "Tarvolk Demo <demo@example.org>";
    welcome.to = "Sie <demo@example.org>";
    welcome.subject =
        TestMail::encodedWord(QStringLiteral("Willkommen bei Tarvolk – bitte lesen"), "UTF-8", 'Q');
    welcome.body =
        QStringLiteral("Hallo,\n\nklicken Sie links auf eine Nachricht, um Kopf und erste "
                       "Zeilen zu sehen.\nMarkierte Nachrichten löscht „Markierte "
                       "Email(s) löschen“ auf dem Server.\n\nViel Spaß!\n")
            .toUtf8();
    messages.append(welcome);

    TestMail::Message invoice;
    invoice.from = TestMail::encodedWord(QStringLiteral("Müller & Söhne GmbH"), "ISO-8859-1", 'B') +
                   " <rechnung@example.com>";
    invoice.subject = "Ihre Rechnung Nr. 4711";
    invoice.charset = "ISO-8859-1";
    invoice.body = QStringLiteral("Sehr geehrte Damen und Herren,\n\nanbei Ihre Rechnung über "
                                  "123,45 €.\n\nMit freundlichen Grüßen\n")
                       .toLatin1();
    invoice.attachments.append({"rechnung-4711.pdf", "application/pdf", QByteArray(6000, 'p')});
    messages.append(invoice);

    TestMail::Message club;
    club.from = "Verein <vorstand@example.net>";
    club.to = "";
    club.subject = TestMail::fold("Einladung zur Jahreshauptversammlung am Freitag im Vereinsheim");
    club.body = "Liebe Mitglieder,\n\n.Tagesordnung folgt.\n..und noch ein Punkt\nRegards.\n";
    messages.append(club);

    TestMail::Message big;
    big.from = "Fotoclub <fotos@example.net>";
    big.subject = TestMail::encodedWord(QStringLiteral("Urlaubsbilder (groß)"), "UTF-8", 'B');
    big.body = "Hier die Bilder vom Sommer.\n";
    big.attachments.append({"strand.jpg", "image/jpeg", QByteArray(150000, 'j')});
    messages.append(big);

    for (int i = 1; i <= 8; ++i) {
        TestMail::Message newsletter;
        newsletter.from = "Newsletter <news@example.com>";
        newsletter.subject = "Wochenbrief " + QByteArray::number(i);
        newsletter.body = "Neuigkeiten der Woche " + QByteArray::number(i) + ".\n";
        newsletter.targetSize = 1000 * i;
        messages.append(newsletter);
    }
    return messages;
}

} // namespace

QString demoSettings(const DovecotServer& server)
{
    QFile certificateFile(server.certificatePath());
    certificateFile.open(QIODevice::ReadOnly);
    const QSslCertificate certificate(certificateFile.readAll());
    const QString fingerprint =
        QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':'));
    return QStringLiteral("[Setup]\n"
                          "LineCount=10\n"
                          "Title1=Demo (unverschlüsselt)\nHost1=127.0.0.1:%1\n"
                          "Account1=demo\nPassword1=demo\n"
                          "Title2=Demo (TLS)\nHost2=127.0.0.1:%2\nSecurity2=tls\n"
                          "Fingerprint2=%3\nAccount2=demo\nPassword2=demo\n"
                          "Title3=Demo (STARTTLS)\nHost3=127.0.0.1:%1\nSecurity3=starttls\n"
                          "Fingerprint3=%3\nAccount3=demo\nPassword3=demo\n")
        .arg(server.port())
        .arg(server.tlsPort())
        .arg(fingerprint);
}

bool startDemoMailbox(DovecotServer& server)
{
    if (!server.addUser(QStringLiteral("demo"), QStringLiteral("demo")) ||
        !server.start(DovecotServer::Tls::On))
        return false;
    for (const TestMail::Message& message : demoMessages()) {
        // Real mail starts with the lines the delivering server adds.
        if (server
                .deliver(QStringLiteral("demo"),
                         "Return-Path: <sender@example.org>\r\n" + TestMail::build(message))
                .isEmpty())
            return false;
    }
    return true;
}
