#pragma once

#include <QString>

class QMenuBar;

// The keyboard's way into the menus: every menu and item gets a mnemonic (an
// underlined letter of its caption, which stays as it is) and the common
// commands their desktop shortcuts.
namespace MenuKeys {

// The caption with "&" before the letter that becomes its mnemonic: the
// preferred letter when it is free, else the first free initial of a word,
// else the first free letter or digit. `taken` holds the letters already used
// in the same menu (lower case) and gains the one chosen. Captions are in the
// menus' own notation (a written ampersand is "&&"); one that already has a
// mnemonic, or has no free letter, is returned unchanged.
QString withMnemonic(const QString &caption, QString &taken, QChar preferred = {});

// The caption as a person reads it: the mnemonic marker taken out.
QString plainCaption(const QString &text);

// Gives mnemonics to the menu bar's menus and to every enabled item under
// them that has none yet, and the shortcuts New Ctrl+N, Open Ctrl+O, Save Ctrl+S,
// Save as Ctrl+Shift+S, Print Ctrl+P, Exit Ctrl+Q and Send Ctrl+T to the items
// of those names.
void equip(QMenuBar *bar);

} // namespace MenuKeys
