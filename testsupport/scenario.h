// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What a POP3 server does in one conversation, step by step: the scripted server plays it on a
// socket, the fed transport without one. Written as a transcript reads:
//
//     transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nP: 300\nS: +OK\nS: <close>")

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <initializer_list>

namespace pop3test {

class Scenario;

// One line of the script.
struct Step {
    enum class Kind {
        Send,        // write bytes (one write, then flush)
        Expect,      // the next line from the client, compared without its CR LF
        Pause,       // wait, then go on with the next step
        Close,       // the server closes the connection; ends the scenario
        ExpectClose, // the client must close the connection now; any line is a failure
        Flood,       // write bytes again and again, as the client takes them, until it closes
    };

    // Gap between the pieces of a split reply: long enough for the client to read each piece on
    // its own, short enough for a test that splits at every byte.
    static constexpr int DefaultGapMs = 5;
    // Far more than any client may take of a flood before it gives up.
    static constexpr qint64 FloodLimit = 64 * 1024 * 1024;

    Kind kind = Kind::Send;
    QByteArray bytes; // Send, Flood: the bytes; Expect: the line without CR LF
    int milliseconds = 0;
    qint64 limit = 0; // Flood

    static Step send(const QByteArray& bytes);
    static Step expect(const QByteArray& line);
    static Step pause(int milliseconds);
    static Step close();
    static Step expectClose();
    // A server that does not stop: bytes repeated until the client closes or `limit` bytes
    // have gone out (which fails the scenario: the client should have given up before).
    static Step flood(const QByteArray& bytes, qint64 limit = FloodLimit);

    // One reply written in pieces, each flushed, with a pause between them, so that the client's
    // socket reads each piece separately. `positions` are the offsets where a new piece begins;
    // offsets outside 1..size-1 and repeats are dropped, so splitting at 0 sends the reply whole.
    static Scenario sendSplit(const QByteArray& bytes, const QList<int>& positions,
                              int gapMs = DefaultGapMs);
    static Scenario sendPieces(const QList<QByteArray>& pieces, int gapMs = DefaultGapMs);
    static Scenario sendBytewise(const QByteArray& bytes, int gapMs = DefaultGapMs);

    // Greeting, "user <user>", "+OK", "pass <password>", "+OK", from a server that answers
    // "capa" with "-ERR" before and after the log-in.
    static Scenario loginOk(const QByteArray& user, const QByteArray& password,
                            const QByteArray& greeting = "+OK POP3 server ready");
    // "quit", "+OK", and the server closes, as a POP3 server does.
    static Scenario quitOk();

    QString describe() const;
};

// A list of steps. Built from steps and from other scenarios, which are spliced in place:
//     Scenario s{Step::loginOk("joe", "pw"), Step::expect("stat"), Step::send("+OK 0 0\r\n")};
class Scenario {
public:
    Scenario() = default;
    Scenario(const Step& step); // NOLINT: implicit on purpose, so steps and scenarios mix
    Scenario(std::initializer_list<Scenario> parts);

    Scenario& operator<<(const Scenario& more);
    const QList<Step>& steps() const { return m_steps; }
    qsizetype size() const { return m_steps.size(); }

private:
    QList<Step> m_steps;
};

// One step a line; blanks before a line and empty lines are ignored, blanks after it kept:
//   "C: line"          the client must send this line next
//   "C: <close>"       the client must close the connection now
//   "S: line"          the server sends the line, CR LF added; consecutive ones in one write
//   "S: <close>"       the server closes the connection
//   "S: <flood line>"  the server sends the line again and again until the client closes
//   "P: 300"           the server waits 300 ms
Scenario transcript(const QByteArray& text);

// Bytes as a test reader wants to see them: line ends and control bytes spelled out, long data
// cut short.
QString printable(const QByteArray& bytes);

} // namespace pop3test

// Scenarios are the rows of data-driven tests.
Q_DECLARE_METATYPE(pop3test::Scenario)

// Fails the calling test function, with what happened, unless the scripted server or the fed
// transport played every queued scenario to its end without a failure.
#define SCRIPTED_VERIFY(server)                                                                    \
    do {                                                                                           \
        const QString scriptedProblems_ = (server).problems();                                     \
        QVERIFY2(scriptedProblems_.isEmpty(), qPrintable(scriptedProblems_));                      \
    } while (false)
