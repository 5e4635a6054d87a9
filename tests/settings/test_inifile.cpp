// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/inifile.h"
#include "settings/settingslocation.h"
#include "settings/tarvolkx.h"
#include "testsupport/testregistry.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using TarvolkX::ReadIniValue;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray utf16(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

} // namespace

Q_DECLARE_METATYPE(IniFile::Status)

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void findsTheFileBesideTheProgram();
    void addsIniOnlyWhenTheNameHasNoDot();
    void usesTheProgramFolderWhileAppPathIsEmpty();
    void readsValuesAsIniUsersExpect_data();
    void readsValuesAsIniUsersExpect();
    void decodesWindows1252AndUtf8();
    void cutsLongValuesTo255Characters();
    void missingFileSectionOrKeyGiveEmpty();
    void readsOnlyRegularFilesOfAtMostOneMegabyte_data();
    void readsOnlyRegularFilesOfAtMostOneMegabyte();
    void findsTheSettingsInOrder_data();
    void findsTheSettingsInOrder();

private:
    QString readSetup(const QByteArray& content, const char* key);
    QTemporaryDir m_dir;
};

void TestIniFile::init()
{
    QVERIFY(m_dir.isValid());
    TarvolkX::AppPath = m_dir.path();
}

QString TestIniFile::readSetup(const QByteArray& content, const char* key)
{
    writeFile(m_dir.filePath(QStringLiteral("TARVOLK.INI")), content);
    return ReadIniValue(QStringLiteral("TARVOLK.INI"), QStringLiteral("Setup"),
                        QString::fromLatin1(key));
}

void TestIniFile::findsTheFileBesideTheProgram()
{
    writeFile(m_dir.filePath(QStringLiteral("TARVOLK.INI")), "[Setup]\nLineCount=10\n");
    QCOMPARE(ReadIniValue(QStringLiteral("TARVOLK.INI"), QStringLiteral("Setup"),
                          QStringLiteral("LineCount")),
             QStringLiteral("10"));
    // A folder that already ends in the separator gets no second one.
    TarvolkX::AppPath = m_dir.path() + u'/';
    QCOMPARE(ReadIniValue(QStringLiteral("TARVOLK.INI"), QStringLiteral("Setup"),
                          QStringLiteral("LineCount")),
             QStringLiteral("10"));
}

void TestIniFile::addsIniOnlyWhenTheNameHasNoDot()
{
    writeFile(m_dir.filePath(QStringLiteral("settings.INI")), "[Setup]\nKey=beside\n");
    QCOMPARE(
        ReadIniValue(QStringLiteral("settings"), QStringLiteral("Setup"), QStringLiteral("Key")),
        QStringLiteral("beside"));

    // A name with a folder is used as it stands, without AppPath in front.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("my.dir")));
    writeFile(m_dir.filePath(QStringLiteral("my.dir/settings")), "[Setup]\nKey=plain\n");
    writeFile(m_dir.filePath(QStringLiteral("my.dir/settings.INI")), "[Setup]\nKey=suffixed\n");
    TarvolkX::AppPath = QStringLiteral("/nonexistent");
    QCOMPARE(ReadIniValue(m_dir.filePath(QStringLiteral("my.dir/settings")),
                          QStringLiteral("Setup"), QStringLiteral("Key")),
             QStringLiteral("plain"));

    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
    writeFile(m_dir.filePath(QStringLiteral("sub/conf.INI")), "[Setup]\nKey=sub\n");
    const QString withoutDot = m_dir.filePath(QStringLiteral("sub/conf"));
    QVERIFY2(!withoutDot.contains(u'.'), "the temporary folder must have no dot in its path");
    QCOMPARE(ReadIniValue(withoutDot, QStringLiteral("Setup"), QStringLiteral("Key")),
             QStringLiteral("sub"));
}

void TestIniFile::usesTheProgramFolderWhileAppPathIsEmpty()
{
    const QString name =
        QStringLiteral("tarvolk-test-%1.ini").arg(QCoreApplication::applicationPid());
    const QString path = QCoreApplication::applicationDirPath() + u'/' + name;
    writeFile(path, "[Setup]\nKey=program folder\n");
    TarvolkX::AppPath.clear();
    const QString value = ReadIniValue(name, QStringLiteral("Setup"), QStringLiteral("Key"));
    QFile::remove(path);
    QCOMPARE(value, QStringLiteral("program folder"));
}

void TestIniFile::readsValuesAsIniUsersExpect_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("names in other letter case")
        << QByteArray("[SETUP]\npassword1=x\n") << QStringLiteral("x");
    QTest::newRow("blanks and tabs around names and values")
        << QByteArray("  [ Setup ]\n \tPassword1 \t=  a b \t\n") << QStringLiteral("a b");
    QTest::newRow("quotes around the whole value go")
        << QByteArray("[Setup]\nPassword1=\" padded \"\n") << QStringLiteral(" padded ");
    QTest::newRow("a quote inside the value stays")
        << QByteArray("[Setup]\nPassword1=ab\"c\n") << QStringLiteral("ab\"c");
    QTest::newRow("semicolon inside a password belongs to it")
        << QByteArray("[Setup]\nPassword1=se;cret ;x\n") << QStringLiteral("se;cret ;x");
    QTest::newRow("backslash and comma are kept")
        << QByteArray("[Setup]\nPassword1=a\\b,c%d\n") << QStringLiteral("a\\b,c%d");
    QTest::newRow("equals sign inside the value")
        << QByteArray("[Setup]\nPassword1=a=b\n") << QStringLiteral("a=b");
    QTest::newRow("comment lines are skipped")
        << QByteArray("[Setup]\n;Password1=old\n  ; Password1=older\nPassword1=new\n")
        << QStringLiteral("new");
    QTest::newRow("first key wins")
        << QByteArray("[Setup]\nPassword1=first\nPassword1=second\n") << QStringLiteral("first");
    QTest::newRow("first section wins")
        << QByteArray("[Setup]\nTitle1=a\n[Setup]\nPassword1=late\n") << QString();
    QTest::newRow("key of another section is not read")
        << QByteArray("[Other]\nPassword1=x\n[Setup]\nTitle1=y\n") << QString();
    QTest::newRow("CR LF line ends")
        << QByteArray("[Setup]\r\nTitle1=a\r\nPassword1=crlf\r\n") << QStringLiteral("crlf");
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Setup]\nPassword1=bom\n") << QStringLiteral("bom");
    QTest::newRow("UTF-16 LE with byte-order mark")
        << utf16(QStringConverter::Utf16LE, QStringLiteral("[Setup]\r\nPassword1=ä€\r\n"))
        << QStringLiteral("ä€");
    QTest::newRow("UTF-16 BE with byte-order mark")
        << utf16(QStringConverter::Utf16BE, QStringLiteral("[Setup]\nPassword1=ä€\n"))
        << QStringLiteral("ä€");
    QTest::newRow("empty value") << QByteArray("[Setup]\nPassword1=\n") << QString();
    QTest::newRow("key that only starts alike")
        << QByteArray("[Setup]\nPassword10=ten\n") << QString();
}

void TestIniFile::readsValuesAsIniUsersExpect()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QCOMPARE(readSetup(content, "Password1"), expected);
}

void TestIniFile::decodesWindows1252AndUtf8()
{
    QCOMPARE(readSetup("[Setup]\nTitle1=B\xFC"
                       "ro \x80\n",
                       "Title1"),
             QStringLiteral("Büro €"));
    QCOMPARE(readSetup("[Setup]\nTitle1=B\xC3\xBC"
                       "ro \xE2\x82\xAC\n",
                       "Title1"),
             QStringLiteral("Büro €"));
}

void TestIniFile::cutsLongValuesTo255Characters()
{
    const QByteArray value(300, 'p');
    QCOMPARE(readSetup("[Setup]\nPassword1=" + value + "\n", "Password1"),
             QString::fromLatin1(value.left(255)));
    // Counted in characters, not bytes: 300 umlauts in UTF-8 are 600 bytes.
    QByteArray umlauts;
    for (int i = 0; i < 300; ++i)
        umlauts += "\xC3\xA4";
    QCOMPARE(readSetup("[Setup]\nTitle1=" + umlauts + "\n", "Title1"), QString(255, QChar(0xE4)));
}

void TestIniFile::missingFileSectionOrKeyGiveEmpty()
{
    QCOMPARE(ReadIniValue(QStringLiteral("NOFILE.INI"), QStringLiteral("Setup"),
                          QStringLiteral("Title1")),
             QString());
    QCOMPARE(readSetup("[Other]\nTitle1=x\n", "Title1"), QString());
    QCOMPARE(readSetup("[Setup]\nTitle2=x\n", "Title1"), QString());
}

void TestIniFile::readsOnlyRegularFilesOfAtMostOneMegabyte_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<IniFile::Status>("expected");
    QTest::newRow("FIFO, which would block")
        << QStringLiteral("fifo") << IniFile::Status::NotRegular;
    QTest::newRow("link to /dev/zero, which never ends")
        << QStringLiteral("zero") << IniFile::Status::NotRegular;
    QTest::newRow("one byte over 1 MB") << QStringLiteral("large") << IniFile::Status::TooLarge;
    QTest::newRow("exactly 1 MB") << QStringLiteral("limit") << IniFile::Status::Read;
}

void TestIniFile::readsOnlyRegularFilesOfAtMostOneMegabyte()
{
    QFETCH(QString, kind);
    QFETCH(IniFile::Status, expected);
    const QString path = m_dir.filePath(QStringLiteral("TARVOLK.INI"));
    QFile::remove(path);
    QByteArray content = "[Setup]\nTitle1=x\n";
    if (kind == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else
        writeFile(path, content.leftJustified(IniFile::MaxSize + (kind == u"large"), ' '));

    const IniFile ini = readIniFile(path);
    QCOMPARE(ini.status, expected);
    QCOMPARE(ini.document.value(QStringLiteral("Setup"), QStringLiteral("Title1")).has_value(),
             expected == IniFile::Status::Read);
    if (expected != IniFile::Status::Read)
        QVERIFY2(ini.problem().contains(path), qPrintable(ini.problem()));
}

// Places: "config" (--config), "program" (beside the executable), "home" ($XDG_CONFIG_HOME),
// "system" (the second folder of $XDG_CONFIG_DIRS).
void TestIniFile::findsTheSettingsInOrder_data()
{
    QTest::addColumn<bool>("withConfig");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");
    const QStringList all{QStringLiteral("config"), QStringLiteral("program"),
                          QStringLiteral("home"), QStringLiteral("system")};
    QTest::newRow("--config before all") << true << all << QStringLiteral("config");
    QTest::newRow("--config missing: nothing else is read")
        << true << all.mid(1) << QStringLiteral("config");
    QTest::newRow("beside the program, as a portable copy")
        << false << all.mid(1) << QStringLiteral("program");
    QTest::newRow("per-user before the system") << false << all.mid(2) << QStringLiteral("home");
    QTest::newRow("system folders from XDG_CONFIG_DIRS")
        << false << all.mid(3) << QStringLiteral("system");
    QTest::newRow("none: the per-user file to create")
        << false << QStringList() << QStringLiteral("home");
}

void TestIniFile::findsTheSettingsInOrder()
{
    QFETCH(bool, withConfig);
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir places;
    QVERIFY(places.isValid());
    const QHash<QString, QString> paths{
        {QStringLiteral("config"), places.filePath(QStringLiteral("given.ini"))},
        {QStringLiteral("program"), places.filePath(QStringLiteral("program/TARVOLK.INI"))},
        {QStringLiteral("home"), places.filePath(QStringLiteral("home/tarvolk/TARVOLK.INI"))},
        {QStringLiteral("system"), places.filePath(QStringLiteral("sys2/tarvolk/TARVOLK.INI"))},
    };
    for (const QString& place : present) {
        QVERIFY(QDir().mkpath(QFileInfo(paths[place]).path()));
        writeFile(paths[place], "[Setup]\nTitle1=" + place.toUtf8() + "\n");
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(places.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(places.filePath(QStringLiteral("sys1")) + u':' +
                                                 places.filePath(QStringLiteral("sys2"))));

    const IniFile found = findSettings(withConfig ? paths[QStringLiteral("config")] : QString(),
                                       places.filePath(QStringLiteral("program")));
    QCOMPARE(found.path, paths[expected]);
    QCOMPARE(found.document.value(QStringLiteral("Setup"), QStringLiteral("Title1")),
             present.contains(expected) ? std::optional(expected) : std::nullopt);
}

TARVOLK_TEST(TestIniFile);
#include "test_inifile.moc"
