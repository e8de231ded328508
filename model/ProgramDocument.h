#pragma once

#include "model/TemperatureProgram.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The program being edited: the segment table, the initial temperature as
// typed, the program number and the comment, with the changed flag and the
// file it was last opened from or saved to. Every part that shows or changes
// the program goes through here; each change is announced, so the controls
// showing a value follow whoever set it. Setting a value to what it holds
// announces nothing.
class ProgramDocument : public QObject
{
    Q_OBJECT
public:
    explicit ProgramDocument(QObject *parent = nullptr);

    const TemperatureProgram &table() const { return m_table; }
    QString cell(int row, int col) const { return m_table.cell(row, col); }
    int colCount() const { return m_table.colCount(); }

    void setCell(int row, int col, const QString &text);
    void setMode(int col, const QString &mode);
    // Replaces one whole row (a file load); cells beyond the list are emptied.
    void setRow(int row, const QStringList &cells);
    void insertSlot(int p);
    void deleteSlot(int p);
    // Labels, segment numbers and every slot unset.
    void initialise();
    void clearSlots();
    void normaliseForSave();
    // Puts back a whole table kept earlier, its column count included.
    void restore(const TemperatureProgram &table);

    QString initialTempText() const { return m_initialTempText; }
    void setInitialTempText(const QString &text);
    int programNo() const { return m_programNo; }
    void setProgramNo(int programNo);
    QString comment() const { return m_comment; }
    void setComment(const QString &text);
    // The comment one entry per line; no lines for an empty comment.
    QStringList commentLines() const;
    void setCommentLines(const QStringList &lines);

    // Unsaved changes since the program was made, opened or saved.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // The initial temperature as last read from its text, and whether the
    // last check of that text failed.
    double initialTemp() const { return m_initialTemp; }
    void setInitialTemp(double value);
    bool initialTempError() const { return m_initialTempError; }
    void setInitialTempError(bool error);

    // The file last opened or saved; empty for a program never saved.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &path);

signals:
    // Cells in rows firstRow..lastRow and columns firstCol..lastCol have new texts.
    void cellsChanged(int firstRow, int firstCol, int lastRow, int lastCol);
    // The table is about to get, and then has, a new number of columns.
    void columnCountAboutToChange(int before, int after);
    void columnCountChanged(int before, int after);
    void initialTempTextChanged(const QString &text);
    void programNoChanged(int programNo);
    void commentChanged(const QString &text);
    void fileNameChanged(const QString &path);
    void modifiedChanged(bool modified);
    void initialTempChanged(double value);
    void initialTempErrorChanged(bool error);

private:
    void allCellsChanged();
    // Sets a property and announces it, when the value is new.
    template<typename T, typename Signal> void assign(T &property, const T &value, Signal changed)
    {
        if (property == value)
            return;
        property = value;
        emit(this->*changed)(value);
    }

    TemperatureProgram m_table;
    QString m_initialTempText;
    int m_programNo = 0;
    QString m_comment;
    QString m_fileName;
    bool m_modified = false;
    double m_initialTemp = 0;
    bool m_initialTempError = false;
};
