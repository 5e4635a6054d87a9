// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void answersOnTheTerminalWithoutADisplay_data();
    void answersOnTheTerminalWithoutADisplay();
};

void TestCommandLine::answersOnTheTerminalWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");
    // Set on top of a German locale.
    QTest::addColumn<QStringList>("locale");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("--config DATEI") << QString() << QStringList();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                             << QStringLiteral("tarvolk 0.") << QString() << QStringList();
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--frobnicate")} << 2 << QString()
        << QStringLiteral("Unbekannte Option: frobnicate") << QStringList();
    QTest::newRow("config without its file")
        << QStringList{QStringLiteral("--config")} << 2 << QString()
        << QStringLiteral("Der Option --config fehlt die Datei.") << QStringList();
    QTest::newRow("Qt's own options are Qt's")
        << QStringList{QStringLiteral("-style"), QStringLiteral("Fusion"),
                       QStringLiteral("--platform=xcb"), QStringLiteral("-reverse"),
                       QStringLiteral("--version")}
        << 0 << QStringLiteral("tarvolk 0.") << QString() << QStringList();
    QTest::newRow("stray argument")
        << QStringList{QStringLiteral("TARVOLK.INI")} << 2 << QString()
        << QStringLiteral("Unerwartetes Argument: TARVOLK.INI") << QStringList();
    QTest::newRow("help in English")
        << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("--config FILE")
        << QString() << QStringList{QStringLiteral("LANG=en_US.UTF-8")};
    QTest::newRow("mistake in English") << QStringList{QStringLiteral("--frobnicate")} << 2
                                        << QString() << QStringLiteral("Unknown option: frobnicate")
                                        << QStringList{QStringLiteral("LC_MESSAGES=en_GB.UTF-8")};
    QTest::newRow("English as the first known language")
        << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("Usage: tarvolk")
        << QString() << QStringList{QStringLiteral("LANGUAGE=fr:en:de")};
    QTest::newRow("German before English")
        << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("Aufruf: tarvolk")
        << QString()
        << QStringList{QStringLiteral("LANG=en_US.UTF-8"), QStringLiteral("LANGUAGE=de:en")};
}

void TestCommandLine::answersOnTheTerminalWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    QFETCH(QStringList, locale);
    // As over ssh: a window would need X11 and make the program abort here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    for (const QString& setting : locale)
        environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TARVOLK_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(20000));
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    // What is not asked for on a stream must not be there at all.
    QVERIFY2(stdoutHas.isEmpty() ? out.isEmpty() : out.contains(stdoutHas), qPrintable(out));
    QVERIFY2(stderrHas.isEmpty() ? err.isEmpty() : err.contains(stderrHas), qPrintable(err));
}

TARVOLK_TEST(TestCommandLine);
#include "test_commandline.moc"
