#pragma once

#include <QString>
#include <QStringList>

// One grid row as one line of a program file: the cells as a comma list.
namespace TpdRowLine {

// Joins the cells with commas. A cell with a character of code 0 to 32, a
// double quote or a comma is put in double quotes with its quotes doubled;
// every other cell, an empty one included, is written as it is.
QString join(const QStringList &cells);

// Splits a row line into its items:
// - characters of code 1 to 32 before an item and after it are skipped;
// - an item starting with a double quote runs to the matching closing quote,
//   a doubled quote inside standing for one; a line that ends before the
//   closing quote gives the rest of the line as the item;
// - any other item runs up to the next comma or character of code 0 to 32,
//   so "a b" is two items;
// - a comma that is the very last character of the line adds one empty item.
QStringList split(QStringView line);

} // namespace TpdRowLine
