#pragma once

#include "model/TemperatureProgram.h"

#include <QChar>
#include <QString>
#include <optional>

// The decisions behind typing and checking values, free of widgets.

namespace CellRules {

// The characters the filters know beyond "." and the digits.
constexpr QChar Backspace(8);
constexpr QChar Enter(13);

// Key filter of the segment grid, for one typed character.
struct GridKey
{
    bool pass = false;         // the character reaches the editor
    bool setsModified = false; // the program counts as changed
};
// editRow: the row last edited (2 temperature, 3 rate, 4 time; anything else
// means nothing was edited yet). text/caret: the editor's text before the key
// and the start of its selection (a closed editor: its text, caret 0).
GridKey gridKey(QChar key, int editRow, const QString &text, int caret);
// What status panel 0 says when a key typed on a cell of `row` is kept out
// of it for a reason a person may not guess: a ":" in a Time cell (the time
// is min.sec). Empty for any other key.
QString keptOutHint(QChar key, int row);

// Decimals a value row keeps: 1 for temperature and rate, 2 for time; 0 for other rows.
int decimalsOf(int row);

// The range hint shown when a cell becomes current, or an empty text.
QString rangeHint(int row);
// The range of a value row alone: "0 - 300.0", "0 - 20.0", "0.00 - 99.59".
QString rangeText(int row);

// Whether a cell of the given row is an active value cell for the mode
// (temperature and rate of a Ramp, time of a Hold).
bool isEditable(int row, const QString &mode);
// Whether a cell of the given row is drawn as not used by its slot's mode:
// every row of an unset slot, a Ramp's time, a Hold's temperature and rate.
bool isInactive(int row, const QString &mode);

// The mode a key typed on a Mode cell chooses: R Ramp, H Hold (either
// letter case), Space unset; nothing for any other key.
std::optional<QString> modeForKey(QChar key);

// Cell check of one value cell.
struct CellCheckResult
{
    enum Outcome { NotChecked, Accepted, OutOfRange, NotANumber } outcome = NotChecked;
    QString text; // the text the cell takes (its text form, or "0.0"/"0.00" for empty)
};
CellCheckResult checkCell(int row, const QString &text);

// Range of a temperature or rate value, and the min.sec rule of a time.
bool temperatureInRange(double value);
bool rateInRange(double value);
bool timeInRange(double value);

// Initial temperature field.
enum class InitialTempKey { Pass, Discard, Tab };
InitialTempKey initialTempKey(QChar key);

struct InitialTempCheck
{
    bool isNumber = false;
    double value = 0;
    QString text; // "%.2f" of the value when it is a number
    bool inRange = false;
};
InitialTempCheck checkInitialTemp(const QString &text);

} // namespace CellRules
