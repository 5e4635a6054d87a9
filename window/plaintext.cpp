#include "window/plaintext.h"

#include <QLabel>
#include <QTextDocument>

namespace plaintext {

QString bounded(const QString& text)
{
    if (text.size() <= ShownLimit)
        return text;
    return text.left(ShownLimit - 1) + u'…';
}

QString toolTip(const QString& text)
{
    if (text.isEmpty())
        return QString();
    return Qt::convertFromPlainText(bounded(text), Qt::WhiteSpaceNormal);
}

void show(QLabel* label, const QString& text, bool withToolTip)
{
    label->setTextFormat(Qt::PlainText);
    label->setText(bounded(text));
    if (withToolTip)
        label->setToolTip(toolTip(text));
}

} // namespace plaintext
