// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/scenario.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace pop3test {

QString printable(const QByteArray& bytes)
{
    constexpr qsizetype shown = 240;
    QString out;
    for (qsizetype i = 0; i < bytes.size() && i < shown; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r')
            out += QStringLiteral("\\r");
        else if (b == '\n')
            out += QStringLiteral("\\n");
        else if (b == '\t')
            out += QStringLiteral("\\t");
        else if (b == '\\')
            out += QStringLiteral("\\\\");
        else if (b < 0x20 || b >= 0x7f)
            out += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
        else
            out += QLatin1Char(static_cast<char>(b));
    }
    if (bytes.size() > shown)
        out += QStringLiteral("... (%1 bytes)").arg(bytes.size());
    return out;
}

namespace {

QString quoted(const QByteArray& bytes)
{
    return QLatin1Char('"') + printable(bytes) + QLatin1Char('"');
}

// Blanks at the end of a line are part of it: "C: user " leaves the user name empty.
QByteArray withoutIndent(const QByteArray& line)
{
    qsizetype start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    return line.mid(start);
}

// One line of a transcript as a step, or nothing when the line is no step.
std::optional<Step> stepOf(const QByteArray& line)
{
    const QByteArray text = line.mid(line.size() > 2 && line[2] == ' ' ? 3 : 2);
    if (line.startsWith("P:"))
        return Step::pause(text.trimmed().toInt());
    if (line.startsWith("C:"))
        return text == "<close>" ? Step::expectClose() : Step::expect(text);
    if (!line.startsWith("S:"))
        return std::nullopt;
    if (text == "<close>")
        return Step::close();
    if (text.startsWith("<flood ") && text.endsWith('>'))
        return Step::flood(text.mid(7).chopped(1) + "\r\n");
    return Step::send(text + "\r\n");
}

} // namespace

Step Step::send(const QByteArray& bytes)
{
    Step step;
    step.kind = Kind::Send;
    step.bytes = bytes;
    return step;
}

Step Step::expect(const QByteArray& line)
{
    Step step;
    step.kind = Kind::Expect;
    step.bytes = line;
    return step;
}

Step Step::pause(int milliseconds)
{
    Step step;
    step.kind = Kind::Pause;
    step.milliseconds = std::max(0, milliseconds);
    return step;
}

Step Step::close()
{
    Step step;
    step.kind = Kind::Close;
    return step;
}

Step Step::expectClose()
{
    Step step;
    step.kind = Kind::ExpectClose;
    return step;
}

Step Step::flood(const QByteArray& bytes, qint64 limit)
{
    Step step;
    step.kind = Kind::Flood;
    step.bytes = bytes;
    step.limit = limit;
    return step;
}

Scenario Step::sendSplit(const QByteArray& bytes, const QList<int>& positions, int gapMs)
{
    QList<int> cuts;
    for (int p : positions) {
        if (p > 0 && p < bytes.size())
            cuts.append(p);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    QList<QByteArray> pieces;
    int from = 0;
    for (int p : cuts) {
        pieces.append(bytes.mid(from, p - from));
        from = p;
    }
    pieces.append(bytes.mid(from));
    return sendPieces(pieces, gapMs);
}

Scenario Step::sendPieces(const QList<QByteArray>& pieces, int gapMs)
{
    Scenario scenario;
    bool first = true;
    for (const QByteArray& piece : pieces) {
        if (piece.isEmpty())
            continue;
        if (!first)
            scenario << pause(gapMs);
        scenario << send(piece);
        first = false;
    }
    return scenario;
}

Scenario Step::sendBytewise(const QByteArray& bytes, int gapMs)
{
    QList<int> positions;
    for (int p = 1; p < bytes.size(); ++p)
        positions.append(p);
    return sendSplit(bytes, positions, gapMs);
}

Scenario Step::loginOk(const QByteArray& user, const QByteArray& password,
                       const QByteArray& greeting)
{
    return {send(greeting + "\r\n"),   expect("capa"),  send("-ERR unknown command\r\n"),
            expect("user " + user),    send("+OK\r\n"), expect("pass " + password),
            send("+OK logged in\r\n"), expect("capa"),  send("-ERR unknown command\r\n")};
}

Scenario Step::quitOk()
{
    return {expect("quit"), send("+OK bye\r\n"), close()};
}

QString Step::describe() const
{
    switch (kind) {
    case Kind::Send:
        return QStringLiteral("send ") + quoted(bytes);
    case Kind::Expect:
        return QStringLiteral("expect ") + quoted(bytes);
    case Kind::Pause:
        return QStringLiteral("pause %1 ms").arg(milliseconds);
    case Kind::Close:
        return QStringLiteral("close");
    case Kind::ExpectClose:
        return QStringLiteral("expect the client to close");
    case Kind::Flood:
        return QStringLiteral("flood with ") + quoted(bytes);
    }
    return {};
}

Scenario::Scenario(const Step& step) : m_steps{step} {}

Scenario::Scenario(std::initializer_list<Scenario> parts)
{
    for (const Scenario& part : parts)
        m_steps += part.m_steps;
}

Scenario& Scenario::operator<<(const Scenario& more)
{
    m_steps += more.m_steps;
    return *this;
}

Scenario transcript(const QByteArray& text)
{
    Scenario scenario;
    QByteArray pending;
    const auto flush = [&] {
        if (!pending.isEmpty())
            scenario << Step::send(std::exchange(pending, {}));
    };
    for (const QByteArray& rawLine : text.split('\n')) {
        const std::optional<Step> step = stepOf(withoutIndent(rawLine));
        if (!step)
            continue;
        if (step->kind == Step::Kind::Send) {
            pending += step->bytes;
        } else {
            flush();
            scenario << *step;
        }
    }
    flush();
    return scenario;
}

} // namespace pop3test
