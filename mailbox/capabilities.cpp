#include "mailbox/capabilities.h"

void Capabilities::addLine(QByteArrayView line)
{
    const QByteArray text = line.toByteArray().simplified();
    if (text.isEmpty())
        return;
    const qsizetype blank = text.indexOf(' ');
    const QByteArray name = (blank < 0 ? text : text.left(blank)).toUpper();
    m_arguments.insert(name, blank < 0 ? QByteArray() : text.mid(blank + 1));
}
