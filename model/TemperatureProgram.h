#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The segment table of the program being edited: text cells addressed by
// row 0..4 (segment number, mode, temperature, rate, time) and column
// 0..colCount()-1. Column 0 holds the row labels; slot n lives in column n+1.
// Cells hold exactly the text a person sees; readers parse them when used.
class TemperatureProgram
{
public:
    enum Row { NumberRow = 0, ModeRow = 1, TempRow = 2, RateRow = 3, TimeRow = 4 };
    static constexpr int RowCount = 5;
    static constexpr int SlotCount = 33;             // slots 0..32
    static constexpr int InitialColCount = 33;       // label column + slots 0..31 shown
    static constexpr int LastSlotColumn = SlotCount; // column 33 holds slot 32
    // The chart and the download use slots 0..31 (columns 1..32); slot 32 never.
    static constexpr int LastUsedColumn = LastSlotColumn - 1;

    static const QString ModeUnset; // " "
    static const QString ModeRamp;  // "Ramp"
    static const QString ModeHold;  // "Hold"

    TemperatureProgram();

    int colCount() const { return m_colCount; }
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    // One whole row, columns 0 to colCount() - 1, as a file stores it.
    QStringList rowCells(int row) const;
    // Replaces one whole row (a file load); cells beyond the list are emptied.
    void setRow(int row, const QStringList &cells);

    // Labels, segment numbers and every slot reset to " ", "0.0", "0.0", "0.00".
    void initialise();
    // Every slot reset to its defaults; the column count stays.
    void clearSlots();
    // Row 1 of the column takes the mode; the unset mode writes "0" into rows 2..4.
    void setMode(int col, const QString &mode);
    // Slots from column p onward move one place right; the grid grows by one column.
    void insertSlot(int p);
    // Slots after column p move one place left; slot 32 becomes unset.
    void deleteSlot(int p);
    // Row 0 of columns 1..33 reads "0".."32".
    void renumber();
    // Before a save: a Ramp's time becomes "0.00", a Hold's temperature and rate "0.0".
    void normaliseForSave();

    // The segments a download sends and a report lists: up to the last of
    // columns 1..32 whose temperature, rate and time add up to more than 0,
    // a cell that is not a number counting 0; 0 when there is none.
    int segmentCount() const;

    static QStringList rowLabels();

    bool operator==(const TemperatureProgram &) const = default;

private:
    void resetSlot(int col);

    int m_colCount = InitialColCount;
    // Cells of columns beyond colCount() are kept too: slot 32 exists before
    // the grid shows it. Each row holds max(colCount, SlotCount + 1) cells.
    QVector<QString> m_cells[RowCount];
};
