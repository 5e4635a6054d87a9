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
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("--config DATEI") << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                             << QStringLiteral("tarvolk 0.") << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << 2 << QString()
                                    << QStringLiteral("Unbekannte Option: frobnicate");
    QTest::newRow("config without its file")
        << QStringList{QStringLiteral("--config")} << 2 << QString()
        << QStringLiteral("Der Option --config fehlt die Datei.");
    QTest::newRow("Qt's own options are Qt's")
        << QStringList{QStringLiteral("-style"), QStringLiteral("Fusion"),
                       QStringLiteral("--platform=xcb"), QStringLiteral("-reverse"),
                       QStringLiteral("--version")}
        << 0 << QStringLiteral("tarvolk 0.") << QString();
    QTest::newRow("stray argument") << QStringList{QStringLiteral("TARVOLK.INI")} << 2 << QString()
                                    << QStringLiteral("Unerwartetes Argument: TARVOLK.INI");
}

void TestCommandLine::answersOnTheTerminalWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    // As over ssh: a window would need X11 and make the program abort here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
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
