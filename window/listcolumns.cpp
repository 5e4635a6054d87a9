// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/listcolumns.h"

#include "window/messagelistmodel.h"

#include <QHeaderView>
#include <QLocale>
#include <QSettings>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

namespace {

using Column = MessageListModel::Column;

// A stored width beyond this many times the first width is not the user's.
constexpr int WidestFactor = 20;

const QString WidthsKey = QStringLiteral("list/columnWidths");
const QString SortColumnKey = QStringLiteral("list/sortColumn");
const QString SortOrderKey = QStringLiteral("list/sortDescending");

} // namespace

ListColumns::ListColumns(QTreeView* list) : QObject(list), m_list(list)
{
    const QFontMetrics metrics = list->fontMetrics();
    const int em = metrics.horizontalAdvance(u'M');
    const int checkBox = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
    const auto fit = [&](std::initializer_list<QString> samples) {
        int widest = 0;
        for (const QString& sample : samples)
            widest = std::max(widest, metrics.horizontalAdvance(sample));
        return widest + 2 * em;
    };
    const QLocale locale;
    const auto size = [&locale](qint64 bytes) {
        return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    };
    m_firstWidths = QList<int>(MessageListModel::ColumnCount);
    // The entry column fits the longest entry a mailbox gives, beside its check box.
    m_firstWidths[Column::Entry] =
        metrics.horizontalAdvance(QStringLiteral("9999. Email 99999999")) + checkBox +
        metrics.height();
    m_firstWidths[Column::Hint] = 16 * em;
    m_firstWidths[Column::Sender] = 12 * em;
    m_firstWidths[Column::Subject] = 16 * em;
    m_firstWidths[Column::Date] = fit({QStringLiteral("Wed, 30 Sep 2026 23:59:59 +0000")});
    m_firstWidths[Column::Size] = fit({size(1023), size(999 * 1024 + 1023), size(1000 * 1024)});
    m_leastWidth = 6 * em;
    m_senderPart = double(m_firstWidths[Column::Sender]) /
                   (m_firstWidths[Column::Sender] + m_firstWidths[Column::Subject]);

    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < m_firstWidths.size(); ++column)
        header->resizeSection(column, m_firstWidths[column]);
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_resizing)
            resizeByUser(column);
    });
}

int ListColumns::fullWidth() const
{
    int width = 0;
    for (int column : m_firstWidths)
        width += column;
    return width;
}

int ListColumns::room() const
{
    const QHeaderView* header = m_list->header();
    int others = 0;
    for (int column = 0; column < header->count(); ++column) {
        if (column != Column::Sender && column != Column::Subject)
            others += header->sectionSize(column);
    }
    return m_list->viewport()->width() - others;
}

void ListColumns::resizeByUser(int column)
{
    // The subject fills what is left, until the list is resized.
    if (column == Column::Subject)
        return;
    if (column == Column::Sender)
        m_senderPart =
            std::min(1.0, double(m_list->header()->sectionSize(Column::Sender)) / sharedWidth());
    shareRoom();
}

int ListColumns::sharedWidth() const
{
    // Narrower than at first, they would show too little: the list scrolls sideways instead.
    return std::max(room(), m_firstWidths[Column::Sender] + m_firstWidths[Column::Subject]);
}

void ListColumns::shareRoom()
{
    const int shared = sharedWidth();
    const int sender = std::max(m_leastWidth, qRound(shared * m_senderPart));
    setWidth(Column::Sender, sender);
    setWidth(Column::Subject, std::max(m_leastWidth, shared - sender));
}

void ListColumns::setWidth(int column, int width)
{
    m_resizing = true;
    m_list->header()->resizeSection(column, width);
    m_resizing = false;
}

void ListColumns::save(QSettings& state) const
{
    const QHeaderView* header = m_list->header();
    QStringList widths;
    for (int column = 0; column < header->count(); ++column)
        widths.append(QString::number(header->sectionSize(column)));
    state.setValue(WidthsKey, widths);
    state.setValue(SortColumnKey, header->sortIndicatorSection());
    state.setValue(SortOrderKey, header->sortIndicatorOrder() == Qt::DescendingOrder);
}

void ListColumns::restore(const QSettings& state)
{
    const QStringList widths = state.value(WidthsKey).toStringList();
    for (int column = 0; column < std::min(int(widths.size()), int(m_firstWidths.size()));
         ++column) {
        bool valid = false;
        const int width = widths[column].toInt(&valid);
        if (valid && width >= m_list->header()->minimumSectionSize() &&
            width <= WidestFactor * m_firstWidths[column])
            setWidth(column, width);
    }
    const QHeaderView* header = m_list->header();
    const int sender = header->sectionSize(Column::Sender);
    m_senderPart = double(sender) / (sender + header->sectionSize(Column::Subject));
    bool valid = false;
    const int sortColumn = state.value(SortColumnKey).toInt(&valid);
    if (valid && sortColumn >= 0 && sortColumn < m_firstWidths.size()) {
        const bool descending = state.value(SortOrderKey).toBool();
        m_list->sortByColumn(sortColumn, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    shareRoom();
}
