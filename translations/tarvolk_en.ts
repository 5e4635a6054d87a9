<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>AboutBox</name>
    <message>
        <source>Zeigt, was in einem POP3-Postfach liegt, ohne ganze Nachrichten zu laden.

Lizenz: GNU General Public License, Version 3 oder später (GPL-3.0-or-later).
%1
Handbuch: man tarvolk</source>
        <translation>Shows what is in a POP3 mailbox without downloading whole messages.

Licence: GNU General Public License, version 3 or later (GPL-3.0-or-later).
%1
Manual: man tarvolk</translation>
    </message>
    <message>
        <source>Einstellungen: %1</source>
        <translation>Settings: %1</translation>
    </message>
    <message>
        <source>Einstellungen: keine (erwartet in %1)</source>
        <translation>Settings: none (expected in %1)</translation>
    </message>
    <message>
        <source>Über Tarvolk</source>
        <translation>About Tarvolk</translation>
    </message>
</context>
<context>
    <name>Account</name>
    <message>
        <source>„%1“ ist keine gültige Angabe für Security (erlaubt sind tls, starttls und none).</source>
        <translation>“%1” is not a valid value for Security (allowed are tls, starttls and none).</translation>
    </message>
    <message>
        <source>Für dieses Konto ist kein Server eingetragen (Host in TARVOLK.INI).</source>
        <translation>No server is set for this account (Host in TARVOLK.INI).</translation>
    </message>
    <message>
        <source>Die Serverangabe „%1“ ist ungültig.</source>
        <translation>The server “%1” is not valid.</translation>
    </message>
    <message>
        <source>Der Fingerabdruck „%1“ ist kein SHA-256-Fingerabdruck (64 Hexadezimalziffern).</source>
        <translation>The fingerprint “%1” is not a SHA-256 fingerprint (64 hexadecimal digits).</translation>
    </message>
    <message>
        <source>Die Anmeldeart „%1“ (Auth) ist unbekannt: möglich sind auto, user, plain und oauth2.</source>
        <translation>The login method “%1” (Auth) is unknown: possible are auto, user, plain and oauth2.</translation>
    </message>
    <message>
        <source>Die Anmeldung mit OAuth2 braucht eine verschlüsselte Verbindung (Security tls oder starttls).</source>
        <translation>Logging in with OAuth2 needs an encrypted connection (Security tls or starttls).</translation>
    </message>
</context>
<context>
    <name>AccountSlots</name>
    <message>
        <source>Der Wert von %1 enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde nichts gesendet.</source>
        <translation>The value of %1 contains a line break or a null character; nothing was sent.</translation>
    </message>
    <message>
        <source>Der Wert von %1 ist länger als %2 Zeichen; es wurde nichts gesendet.</source>
        <translation>The value of %1 is longer than %2 characters; nothing was sent.</translation>
    </message>
</context>
<context>
    <name>AddressChecks</name>
    <message>
        <source>Der Anzeigename nennt %1, gesendet hat %2.</source>
        <translation>The display name says %1, but %2 sent it.</translation>
    </message>
    <message>
        <source>Antworten gehen an %1, nicht an die Domain %2.</source>
        <translation>Replies go to %1, not to the domain %2.</translation>
    </message>
    <message>
        <source>Die Domain %1 mischt Schriften.</source>
        <translation>The domain %1 mixes scripts.</translation>
    </message>
    <message>
        <source>Die Domain %1 ist international.</source>
        <translation>The domain %1 is international.</translation>
    </message>
</context>
<context>
    <name>BackgroundSecrets</name>
    <message>
        <source>Kein gemerktes Passwort: bitte einmal im Fenster abrufen und „Passwort merken“ wählen.</source>
        <translation>No remembered password: please fetch once in the window and choose “Remember password”.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Aufruf: tarvolk [Optionen]
Zeigt, was in einem POP3-Postfach liegt, ohne ganze Nachrichten zu laden.

Optionen:
</source>
        <translation>Usage: tarvolk [options]
Shows what is in a POP3 mailbox without downloading whole messages.

Options:
</translation>
    </message>
    <message>
        <source>zeigt diese Hilfe</source>
        <translation>shows this help</translation>
    </message>
    <message>
        <source>zeigt die Versionsnummer</source>
        <translation>shows the version number</translation>
    </message>
    <message>
        <source>liest die Einstellungen aus genau dieser Datei</source>
        <translation>reads the settings from exactly this file</translation>
    </message>
    <message>
        <source>DATEI</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>startet im Infobereich, wenn ein Konto überwacht wird</source>
        <translation>starts in the system tray when an account is watched</translation>
    </message>
    <message>
        <source>Unbekannte Option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>Der Option --config fehlt die Datei.</source>
        <translation>The option --config needs a file.</translation>
    </message>
    <message>
        <source>Unerwartetes Argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>tarvolk: %1
Mehr mit: tarvolk --help
</source>
        <translation>tarvolk: %1
More with: tarvolk --help
</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>Das Zertifikat ist abgelaufen.</source>
        <translation>The certificate has expired.</translation>
    </message>
    <message>
        <source>Das Zertifikat ist noch nicht gültig.</source>
        <translation>The certificate is not valid yet.</translation>
    </message>
    <message>
        <source>Das Zertifikat gilt nicht für den Server „%1“.</source>
        <translation>The certificate is not valid for the server “%1”.</translation>
    </message>
    <message>
        <source>Das Zertifikat ist selbst signiert.</source>
        <translation>The certificate is self-signed.</translation>
    </message>
    <message>
        <source>Der Aussteller des Zertifikats ist unbekannt.</source>
        <translation>The issuer of the certificate is unknown.</translation>
    </message>
    <message>
        <source>Das Zertifikat wurde widerrufen.</source>
        <translation>The certificate has been revoked.</translation>
    </message>
    <message>
        <source>Das Zertifikat ist ungültig (%1).</source>
        <translation>The certificate is not valid (%1).</translation>
    </message>
    <message>
        <source>Der Fingerabdruck des Zertifikats stimmt nicht mit dem eingetragenen (Fingerprint) überein.</source>
        <translation>The certificate’s fingerprint does not match the one in the settings (Fingerprint).</translation>
    </message>
    <message>
        <source>SHA-256-Fingerabdruck des Zertifikats:
%1</source>
        <translation>SHA-256 fingerprint of the certificate:
%1</translation>
    </message>
    <message>
        <source>Der Server %1 hat nicht innerhalb von %2 Sekunden geantwortet.</source>
        <translation>The server %1 did not answer within %2 seconds.</translation>
    </message>
    <message>
        <source>Der Server „%1“ wurde nicht gefunden.</source>
        <translation>The server “%1” was not found.</translation>
    </message>
    <message>
        <source>Der Server %1 hat die Verbindung an Port %2 abgelehnt.</source>
        <translation>The server %1 refused the connection on port %2.</translation>
    </message>
    <message>
        <source>Der Server %1 hat die Verbindung beendet.</source>
        <translation>The server %1 closed the connection.</translation>
    </message>
    <message>
        <source>Das Netzwerk ist nicht erreichbar.</source>
        <translation>The network is unreachable.</translation>
    </message>
    <message>
        <source>Die sichere Verbindung zu %1 kam nicht zustande: %2</source>
        <translation>The secure connection to %1 failed: %2</translation>
    </message>
    <message>
        <source>Netzwerkfehler bei %1: %2</source>
        <translation>Network error with %1: %2</translation>
    </message>
    <message>
        <source>Der Server antwortet zu langsam: seine Antwort war nach %1 Sekunden noch nicht vollständig.</source>
        <translation>The server answers too slowly: its answer was still incomplete after %1 seconds.</translation>
    </message>
    <message>
        <source>Der Server sendet eine Antwortzeile ohne Ende.</source>
        <translation>The server sends an answer line without an end.</translation>
    </message>
    <message>
        <source>Unerwartete Antwort des Servers: „%1“</source>
        <translation>Unexpected answer from the server: “%1”</translation>
    </message>
    <message>
        <source>Die Antwort des Servers ist zu lang.</source>
        <translation>The server’s answer is too long.</translation>
    </message>
</context>
<context>
    <name>DeleteQuestion</name>
    <message>
        <source>und %1 weitere</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>1 Nachricht auf dem Server löschen?</source>
        <translation>Delete 1 message on the server?</translation>
    </message>
    <message>
        <source>%1 Nachrichten auf dem Server löschen?</source>
        <translation>Delete %1 messages on the server?</translation>
    </message>
    <message>
        <source>Löschen</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>Finding</name>
    <message>
        <source>Absender nicht bestätigt</source>
        <translation>Sender not confirmed</translation>
    </message>
    <message>
        <source>Anzeigename täuscht</source>
        <translation>Misleading display name</translation>
    </message>
    <message>
        <source>Spam laut Server</source>
        <translation>Spam according to server</translation>
    </message>
    <message>
        <source>Internationale Adresse</source>
        <translation>International address</translation>
    </message>
    <message>
        <source>Antwort an andere Domain</source>
        <translation>Reply to another domain</translation>
    </message>
    <message>
        <source>Absender bestätigt</source>
        <translation>Sender confirmed</translation>
    </message>
</context>
<context>
    <name>FormControls</name>
    <message>
        <source>Mailkonto</source>
        <translation>Mail account</translation>
    </message>
    <message>
        <source>&amp;Emails abrufen</source>
        <translation>&amp;Fetch e-mails</translation>
    </message>
    <message>
        <source>&amp;Markierte Email(s) löschen</source>
        <translation>&amp;Delete marked e-mail(s)</translation>
    </message>
    <message>
        <source>Maillist</source>
        <translation>Mail list</translation>
    </message>
    <message>
        <source>Mailinfo</source>
        <translation>Mail info</translation>
    </message>
    <message>
        <source>Absender:</source>
        <translation>Sender:</translation>
    </message>
    <message>
        <source>Empfänger:</source>
        <translation>Recipient:</translation>
    </message>
    <message>
        <source>Betreff:</source>
        <translation>Subject:</translation>
    </message>
    <message>
        <source>Datum:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>&amp;Vorschau</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>&amp;Kopfzeilen</source>
        <translation>&amp;Headers</translation>
    </message>
    <message>
        <source>&amp;Ganze Nachricht</source>
        <translation>&amp;Whole message</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Postfach</source>
        <translation>Mailbox</translation>
    </message>
    <message>
        <source>Absender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Empfänger</source>
        <translation>Recipient</translation>
    </message>
    <message>
        <source>Betreff</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Anhang</source>
        <translation>Attachment</translation>
    </message>
    <message>
        <source>Hinweis</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Vorschau</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Nachrichten</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>Fortschritt</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>Hint</name>
    <message>
        <source>Regel zum Markieren: %1</source>
        <translation>Rule to mark: %1</translation>
    </message>
    <message>
        <source>Regel: markieren</source>
        <translation>Rule: mark</translation>
    </message>
    <message>
        <source>Regel gegen das Markieren: %1</source>
        <translation>Rule against marking: %1</translation>
    </message>
    <message>
        <source>Regel: nicht markieren</source>
        <translation>Rule: do not mark</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Die Einstellungsdatei %1 wurde nicht gelesen: sie ist keine gewöhnliche Datei.</source>
        <translation>The settings file %1 was not read: it is not a regular file.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei %1 wurde nicht gelesen: sie ist größer als 1 MB.</source>
        <translation>The settings file %1 was not read: it is larger than 1 MB.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei %1 kann nicht gelesen werden: keine Leseberechtigung oder ein Lesefehler.</source>
        <translation>The settings file %1 cannot be read: no read permission or a read error.</translation>
    </message>
</context>
<context>
    <name>MailboxCheck</name>
    <message>
        <source>Abgebrochen</source>
        <translation>Cancelled</translation>
    </message>
</context>
<context>
    <name>MailboxClient</name>
    <message>
        <source>Nachricht %1 löschen</source>
        <translation>Deleting message %1</translation>
    </message>
    <message>
        <source>Nachricht %1: %2</source>
        <translation>Message %1: %2</translation>
    </message>
    <message>
        <source>Postfach prüfen</source>
        <translation>Checking mailbox</translation>
    </message>
    <message>
        <source>Nachricht %1 erfassen</source>
        <translation>Reading message %1</translation>
    </message>
    <message>
        <source>Fehler bei der Übertragung</source>
        <translation>Transfer error</translation>
    </message>
    <message>
        <source>Der Benutzername (Account) enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde nichts gesendet.</source>
        <translation>The user name (Account) contains a line break or a null character; nothing was sent.</translation>
    </message>
    <message>
        <source>Das Passwort enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde nichts gesendet.</source>
        <translation>The password contains a line break or a null character; nothing was sent.</translation>
    </message>
    <message>
        <source>Suche Host</source>
        <translation>Looking up host</translation>
    </message>
    <message>
        <source>Sichere Verbindung</source>
        <translation>Securing connection</translation>
    </message>
    <message>
        <source>Keine sichere Verbindung möglich</source>
        <translation>No secure connection possible</translation>
    </message>
    <message>
        <source>Der Server bietet keine verschlüsselte Verbindung (STLS) an; das Passwort wurde nicht gesendet.</source>
        <translation>The server offers no encrypted connection (STLS); the password was not sent.</translation>
    </message>
    <message>
        <source>Suche Account</source>
        <translation>Sending user name</translation>
    </message>
    <message>
        <source>Sende Passwort</source>
        <translation>Sending password</translation>
    </message>
    <message>
        <source>Sende Zugangsschlüssel</source>
        <translation>Sending access token</translation>
    </message>
    <message>
        <source>Abgebrochen</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>Anzahl Emails abweichend! - Emails bitte nochmals abrufen.</source>
        <translation>The number of e-mails has changed! Please fetch the e-mails again.</translation>
    </message>
    <message>
        <source>Keine Emails vorhanden</source>
        <translation>No e-mails</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>%1. Email %2</source>
        <translation>%1. E-mail %2</translation>
    </message>
    <message>
        <source>%1 Email%2 mit %3 Bytes</source>
        <translation>%1 e-mail%2, %3 bytes</translation>
    </message>
    <message>
        <source>Beim Beenden: %1</source>
        <translation>On quitting: %1</translation>
    </message>
    <message>
        <source>Nicht jede markierte Nachricht wurde gelöscht.</source>
        <translation>Not every marked message was deleted.</translation>
    </message>
    <message>
        <source>Die Nachricht ist größer als 25 MB und wird nicht abgerufen.</source>
        <translation>The message is larger than 25 MB and is not fetched.</translation>
    </message>
    <message>
        <source>Nachricht %1 vollständig abrufen</source>
        <translation>Fetching the whole of message %1</translation>
    </message>
    <message>
        <source>Der Server hat die Nachricht nicht gesandt.</source>
        <translation>The server did not send the message.</translation>
    </message>
    <message>
        <source>Die Antwort des Servers auf „retr %1“ gehört nicht zu dieser Nachricht.</source>
        <translation>The server’s answer to “retr %1” does not belong to this message.</translation>
    </message>
    <message>
        <source>Der Server hat mehr Antworten gesandt, als Befehle gestellt wurden.</source>
        <translation>The server sent more answers than commands were given.</translation>
    </message>
    <message>
        <source>Das Zertifikat des Servers wurde nicht angenommen.</source>
        <translation>The server’s certificate was not accepted.</translation>
    </message>
    <message>
        <source>Nachricht %1 abrufen</source>
        <translation>Fetching message %1</translation>
    </message>
    <message>
        <source>Das Postfach wird gerade von einem anderen Programm benutzt. Bitte später nochmals abrufen.</source>
        <translation>The mailbox is in use by another program. Please fetch again later.</translation>
    </message>
    <message>
        <source>Der Server erlaubt so bald noch keine neue Anmeldung.</source>
        <translation>The server does not allow another login this soon.</translation>
    </message>
    <message>
        <source>Er lässt nur eine Anmeldung in der Minute zu.</source>
        <translation>It allows only one login a minute.</translation>
    </message>
    <message>
        <source>Er lässt nur in Abständen von über %1 Minuten eine Anmeldung zu.</source>
        <translation>It allows a login only at intervals of more than %1 minutes.</translation>
    </message>
    <message>
        <source>Er lässt nur alle %1 Minuten eine Anmeldung zu.</source>
        <translation>It allows a login only every %1 minutes.</translation>
    </message>
    <message>
        <source>Der Server hat gerade ein vorübergehendes Problem. Bitte später nochmals abrufen.</source>
        <translation>The server has a temporary problem. Please fetch again later.</translation>
    </message>
    <message>
        <source>Der Server meldet ein dauerhaftes Problem. Bitte an den Anbieter des Postfachs wenden.</source>
        <translation>The server reports a permanent problem. Please contact the provider of the mailbox.</translation>
    </message>
    <message>
        <source>Anmeldung fehlgeschlagen</source>
        <translation>Login failed</translation>
    </message>
    <message>
        <source>Die Antwort des Servers auf „top %1“ gehört nicht zu dieser Nachricht.</source>
        <translation>The server’s answer to “top %1” does not belong to this message.</translation>
    </message>
    <message>
        <source>Zu viele E-Mails</source>
        <translation>Too many e-mails</translation>
    </message>
    <message>
        <source>Das Postfach enthält %1 E-Mails; Tarvolk zeigt höchstens %2.</source>
        <translation>The mailbox holds %1 e-mails; Tarvolk shows at most %2.</translation>
    </message>
</context>
<context>
    <name>MarkingRules</name>
    <message>
        <source>regeln.ini: %1 in [%2] ist nicht brauchbar und wird übergangen.</source>
        <translation>regeln.ini: %1 in [%2] is not usable and is skipped.</translation>
    </message>
    <message>
        <source>regeln.ini: ServerSpam in [%1] ist weder „ja“ noch „nein“.</source>
        <translation>regeln.ini: ServerSpam in [%1] is neither “ja” nor “nein”.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MessageListModel</name>
    <message>
        <source>Absender: %1</source>
        <translation>Sender: %1</translation>
    </message>
    <message>
        <source>Betreff: %1</source>
        <translation>Subject: %1</translation>
    </message>
    <message>
        <source>Datum: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>Nachricht</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Hinweis</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Absender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Betreff</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Größe</source>
        <translation>Size</translation>
    </message>
</context>
<context>
    <name>MessageTexts</name>
    <message>
        <source>Der Kopf dieser Nachricht ist nicht ganz angekommen.</source>
        <translation>The header of this message did not arrive in full.</translation>
    </message>
    <message>
        <source>Die ganze Nachricht wird vom Server abgerufen …</source>
        <translation>Fetching the whole message from the server …</translation>
    </message>
    <message>
        <source>Die ganze Nachricht wurde nicht abgerufen. Ein Klick auf „Ganze Nachricht“ versucht es noch einmal.</source>
        <translation>The whole message was not fetched. A click on “Whole message” tries again.</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>1 neue Nachricht – %1</source>
        <translation>1 new message – %1</translation>
    </message>
    <message>
        <source>%1 neue Nachrichten – %2</source>
        <translation>%1 new messages – %2</translation>
    </message>
    <message>
        <source>und %1 weitere</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>Anzeigen</source>
        <translation>Show</translation>
    </message>
</context>
<context>
    <name>OAuthEndpoints</name>
    <message>
        <source>Der Anbieter „%1“ (OAuthProvider) ist unbekannt: möglich sind microsoft, google und custom.</source>
        <translation>The provider “%1” (OAuthProvider) is unknown: possible are microsoft, google and custom.</translation>
    </message>
    <message>
        <source>AuthUrl und TokenUrl müssen vollständige https-Adressen sein.</source>
        <translation>AuthUrl and TokenUrl must be complete https addresses.</translation>
    </message>
    <message>
        <source>Für die Anmeldung mit OAuth2 fehlt die ClientId der beim Anbieter eingetragenen Anwendung.</source>
        <translation>Logging in with OAuth2 needs the ClientId of the application registered with the provider.</translation>
    </message>
</context>
<context>
    <name>OAuthLogin</name>
    <message>
        <source>Anmeldung fehlgeschlagen</source>
        <translation>Login failed</translation>
    </message>
    <message>
        <source>Anmeldung im Browser … (ein weiterer Klick bricht ab)</source>
        <translation>Logging in in the browser … (another click cancels)</translation>
    </message>
    <message>
        <source>Der Browser ließ sich nicht öffnen. Bitte diese Adresse im Browser aufrufen:</source>
        <translation>The browser could not be opened. Please open this address in the browser:</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Passwort für %1</source>
        <translation>Password for %1</translation>
    </message>
    <message>
        <source>Der Server hat das gemerkte Passwort abgelehnt.</source>
        <translation>The server refused the remembered password.</translation>
    </message>
    <message>
        <source>&amp;Passwort:</source>
        <translation>&amp;Password:</translation>
    </message>
    <message>
        <source>Passwort &amp;merken</source>
        <translation>&amp;Remember password</translation>
    </message>
    <message>
        <source>Kein Schlüsselbund erreichbar: das Passwort kann nicht gemerkt werden.</source>
        <translation>No keyring available: the password cannot be remembered.</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ReadableMessage</name>
    <message>
        <source>Anhänge:</source>
        <translation>Attachments:</translation>
    </message>
    <message>
        <source>… und %1 weitere</source>
        <translation>… and %1 more</translation>
    </message>
</context>
<context>
    <name>RedirectListener</name>
    <message>
        <source>Tarvolk: Diese Anfrage gehört zu keiner laufenden Anmeldung.</source>
        <translation>Tarvolk: This request belongs to no login in progress.</translation>
    </message>
    <message>
        <source>Tarvolk: Die Anmeldung ist erledigt. Dieses Fenster kann geschlossen werden.</source>
        <translation>Tarvolk: The login is done. This window can be closed.</translation>
    </message>
    <message>
        <source>Tarvolk: Die Anmeldung wurde abgebrochen.</source>
        <translation>Tarvolk: The login was cancelled.</translation>
    </message>
</context>
<context>
    <name>RuleMenu</name>
    <message>
        <source>Absender %1 immer &amp;markieren</source>
        <translation>Always &amp;mark sender %1</translation>
    </message>
    <message>
        <source>Domain %1 immer m&amp;arkieren</source>
        <translation>Always mark &amp;domain %1</translation>
    </message>
    <message>
        <source>Absender %1 &amp;nie markieren</source>
        <translation>&amp;Never mark sender %1</translation>
    </message>
    <message>
        <source>Domain %1 n&amp;ie markieren</source>
        <translation>N&amp;ever mark domain %1</translation>
    </message>
</context>
<context>
    <name>RulesFile</name>
    <message>
        <source>%1 kann nicht gelesen werden.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 ist zu groß.</source>
        <translation>%1 is too large.</translation>
    </message>
    <message>
        <source>%1 steht schon in %2.</source>
        <translation>%1 is already in %2.</translation>
    </message>
    <message>
        <source>%1 in %2 hat keinen Platz für weitere Regeln dieser Art.</source>
        <translation>%1 in %2 has no room for more rules of this kind.</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht in %2 schreiben.</source>
        <translation>%1 cannot be written to %2.</translation>
    </message>
    <message>
        <source>%1 konnte nicht geschrieben werden.</source>
        <translation>%1 could not be written.</translation>
    </message>
    <message>
        <source>%1 in %2 eingetragen.</source>
        <translation>%1 added to %2.</translation>
    </message>
</context>
<context>
    <name>SenderAuthentication</name>
    <message>
        <source>Der Server</source>
        <translation>The server</translation>
    </message>
    <message>
        <source>DMARC bestanden</source>
        <translation>DMARC passed</translation>
    </message>
    <message>
        <source>DMARC nicht bestanden</source>
        <translation>DMARC failed</translation>
    </message>
    <message>
        <source>gültige DKIM-Signatur</source>
        <translation>valid DKIM signature</translation>
    </message>
    <message>
        <source>DKIM und SPF nicht bestanden</source>
        <translation>DKIM and SPF failed</translation>
    </message>
    <message>
        <source>Gesamtprüfung nicht bestanden</source>
        <translation>overall check failed</translation>
    </message>
    <message>
        <source>%1 bestätigt die Absenderdomain %2 nicht: %3.</source>
        <translation>%1 does not confirm the sender domain %2: %3.</translation>
    </message>
    <message>
        <source>%1 bestätigt die Absenderdomain %2: %3.</source>
        <translation>%1 confirms the sender domain %2: %3.</translation>
    </message>
</context>
<context>
    <name>ServerSpam</name>
    <message>
        <source>Der Spamfilter des Servers hält die Nachricht für Spam</source>
        <translation>The server’s spam filter takes the message for spam</translation>
    </message>
    <message>
        <source> (Wertung %1)</source>
        <translation> (score %1)</translation>
    </message>
    <message>
        <source> (Wertung %1, Grenze %2)</source>
        <translation> (score %1, threshold %2)</translation>
    </message>
</context>
<context>
    <name>TokenAnswer</name>
    <message>
        <source>Die Antwort des Anbieters enthält kein %1.</source>
        <translation>The provider’s answer contains no %1.</translation>
    </message>
    <message>
        <source>Das %1 in der Antwort des Anbieters ist kein Text.</source>
        <translation>The %1 in the provider’s answer is not text.</translation>
    </message>
    <message>
        <source>Das %1 in der Antwort des Anbieters ist länger als 16 KB.</source>
        <translation>The %1 in the provider’s answer is longer than 16 KB.</translation>
    </message>
    <message>
        <source>Das %1 in der Antwort des Anbieters enthält Zeichen, die in keiner Anmeldung stehen dürfen.</source>
        <translation>The %1 in the provider’s answer contains characters that no login may contain.</translation>
    </message>
    <message>
        <source>Die Antwort des Anbieters auf die Token-Anfrage ist größer als 64 KB.</source>
        <translation>The provider’s answer to the token request is larger than 64 KB.</translation>
    </message>
    <message>
        <source>Die Antwort des Anbieters auf die Token-Anfrage ist kein JSON-Objekt.</source>
        <translation>The provider’s answer to the token request is not a JSON object.</translation>
    </message>
    <message>
        <source>Zugriffstoken (access_token)</source>
        <translation>access token (access_token)</translation>
    </message>
    <message>
        <source>Aktualisierungstoken (refresh_token)</source>
        <translation>refresh token (refresh_token)</translation>
    </message>
</context>
<context>
    <name>TokenReplyHandler</name>
    <message>
        <source>Der Anbieter hat die Token-Anfrage nicht rechtzeitig beantwortet.</source>
        <translation>The provider did not answer the token request in time.</translation>
    </message>
</context>
<context>
    <name>TokenSource</name>
    <message>
        <source>Die Anmeldung beim Anbieter ist nötig: bitte einmal im Fenster abrufen.</source>
        <translation>A login with the provider is needed: please fetch once in the window.</translation>
    </message>
    <message>
        <source>Tarvolk kann die Antwort des Browsers nicht empfangen: kein freier Port auf 127.0.0.1.</source>
        <translation>Tarvolk cannot receive the browser’s answer: no free port on 127.0.0.1.</translation>
    </message>
    <message>
        <source>Der Anbieter hat die Anmeldung abgelehnt: %1</source>
        <translation>The provider refused the login: %1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>%1: %2 neu, %3 im Postfach</source>
        <translation>%1: %2 new, %3 in the mailbox</translation>
    </message>
    <message>
        <source>%1: noch nicht geprüft</source>
        <translation>%1: not checked yet</translation>
    </message>
    <message>
        <source>Alle Konten prüfen</source>
        <translation>Check all accounts</translation>
    </message>
    <message>
        <source>Über Tarvolk</source>
        <translation>About Tarvolk</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>frmTarvolk</name>
    <message>
        <source>EMail Preview</source>
        <translation>E-mail Preview</translation>
    </message>
    <message>
        <source>0 Emails</source>
        <translation>0 e-mails</translation>
    </message>
    <message>
        <source>Kein Mailkonto eingerichtet: bitte die Datei %1 anlegen.</source>
        <translation>No mail account set up: please create the file %1.</translation>
    </message>
    <message>
        <source>Keine Mail zum Löschen ausgewählt !</source>
        <translation>No mail selected for deletion!</translation>
    </message>
</context>
</TS>
