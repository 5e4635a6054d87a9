#pragma once

#include <QByteArray>
#include <QList>

class Connection;

// Sends commands ahead of their answers, at most a given number unanswered; the answers are read
// in order by the caller. A depth of 1 is the plain one-command-at-a-time conversation.
class CommandPipeline {
public:
    // Commands in flight for a server that announces PIPELINING. A command is about 15 bytes,
    // so 256 of them stay within 4 KB, less than any server's TCP receive window: even a server
    // that reads no command while it writes an answer cannot block the client. And 256 queued
    // previews keep a link with a long round trip busy while the first answers are read.
    static constexpr int PipelinedDepth = 256;

    // inFlight counts commands already sent whose answers are still to be read.
    CommandPipeline(Connection& connection, int depth, int inFlight = 0)
        : m_connection(connection), m_depth(depth), m_inFlight(inFlight)
    {
    }

    void send(const QByteArray& command);
    // The caller has read one answer: the next waiting command goes out.
    void answered();

private:
    void fill();

    Connection& m_connection;
    int m_depth = 1;
    int m_inFlight = 0;
    QList<QByteArray> m_waiting;
    qsizetype m_nextWaiting = 0;
};
