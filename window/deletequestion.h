// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "window/messagebox.h"

#include <QList>

class MessageListModel;

// The question before marked messages are deleted on the server: how many go, and the first few
// by entry, sender and subject, so that a slip of the hand or a mark set long ago shows.
MessageBox::Message deleteQuestion(const QString& title, const MessageListModel& messages,
                                   const QList<int>& marked);
