#pragma once

#include <QKeySequence>
#include <QList>

// The keys that other desktop programs have taught users, given to the menu commands they name there. They come
// on top of the menus' own mnemonics and never take a key of the frame's accelerator table.
namespace CommonKeys {

// The keys of a command, the one the menu shows first; empty for a command without any.
QList<QKeySequence> ForCommand(int command);
// The commands that have keys.
QList<int> Commands();

} // namespace CommonKeys
