// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <functional>

class MessageListView;
class QPoint;
class RulesFile;

// The message list's context menu: the sender of the entry, or its registrable domain, goes into
// the rules that tick messages ([Markieren]) or into those that never do ([NichtMarkieren]).
// What was done, or why not, goes to the status line.
namespace RuleMenu {

// Opens the menu for the row's entry at the point on the screen; an entry whose sender is not
// known gets none.
void popUp(MessageListView* list, int row, const QPoint& globalPosition, RulesFile& rules,
           const std::function<void(const QString&)>& showStatus);

} // namespace RuleMenu
