// Starts a throw-away dovecot with a demo mailbox on loopback and opens Tarvolk on it, so that
// everything can be tried without a mail account. Usage: tarvolk_demo <path of tarvolk>
#include "tests/dovecot/dovecotserver.h"
#include "tests/dovecot/testmail.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QTemporaryDir>
#include <QTextStream>
#include <csignal>
#include <sys/types.h>

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

QString settingsFor(const DovecotServer& server)
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

pid_t windowProcess = 0;

void endWindow(int)
{
    if (windowProcess > 0)
        kill(windowProcess, SIGTERM);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QString tarvolk = app.arguments().value(1);
    if (tarvolk.isEmpty() || !QFile::exists(tarvolk)) {
        err << "usage: tarvolk_demo <path of the tarvolk executable>\n";
        return 2;
    }
    if (const QString reason = DovecotServer::unavailableReason(); !reason.isEmpty()) {
        err << "The demo needs dovecot: " << reason << "\n";
        return 2;
    }

    DovecotServer server;
    if (!server.addUser(QStringLiteral("demo"), QStringLiteral("demo")) ||
        !server.start(DovecotServer::Tls::On)) {
        err << "Could not start the demo mail server: " << server.errorString() << "\n";
        return 1;
    }
    for (const TestMail::Message& message : demoMessages()) {
        // Real mail starts with the lines the delivering server adds.
        server.deliver(QStringLiteral("demo"),
                       "Return-Path: <sender@example.org>\r\n" + TestMail::build(message));
    }

    // Tarvolk reads TARVOLK.INI beside its executable, so the demo gives it a folder of its own.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("tarvolk"));
    QFile settings(folder.filePath(QStringLiteral("TARVOLK.INI")));
    if (!QFile::copy(tarvolk, program) || !settings.open(QIODevice::WriteOnly)) {
        err << "Could not prepare " << folder.path() << "\n";
        return 1;
    }
    settings.write(settingsFor(server).toUtf8());
    settings.close();

    err << "Demo mailbox on 127.0.0.1:" << server.port() << " (TLS on " << server.tlsPort()
        << "), user demo, password demo.\n";
    err.flush();
    QProcess window;
    window.setProcessChannelMode(QProcess::ForwardedChannels);
    window.start(program, {});
    if (!window.waitForStarted())
        return 1;
    // Told to stop, the demo ends the window and goes on to stop its mail server and remove
    // its files.
    windowProcess = pid_t(window.processId());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, endWindow);
    if (!window.waitForFinished(-1))
        return 1;
    return window.exitCode();
}
