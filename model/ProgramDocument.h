#pragma once

#include "model/TemperatureProgram.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The changed flag: read and set as a bool, and whoever owns it is told
// each time it turns.
class ChangedFlag
{
public:
    ChangedFlag() = default;
    ChangedFlag(const ChangedFlag &) = delete;
    ChangedFlag &operator=(const ChangedFlag &) = delete;

    ChangedFlag &operator=(bool value)
    {
        if (value != m_value) {
            m_value = value;
            if (m_turned)
                m_turned(value);
        }
        return *this;
    }
    operator bool() const { return m_value; }
    void onTurn(std::function<void(bool)> turned) { m_turned = std::move(turned); }

private:
    bool m_value = false;
    std::function<void(bool)> m_turned;
};

// State of the program being edited that the editing parts share.
struct EditorState
{
    ChangedFlag DataModified;    // unsaved changes; ProgramDocument::modifiedChanged follows it
    double InitialTemp = 0;      // last value parsed from Edit1
    bool InitTempError = false;  // result of the last InitTempCheck
};

// The program being edited: the segment table, the initial temperature as
// typed, the program number and the comment, with the changed flag and the
// file it was last opened from or saved to. Every part that shows or changes
// the program goes through here; each change is announced, so the controls
// showing a value follow whoever set it. Setting a value to what it holds
// announces nothing.
class ProgramDocument : public QObject, public EditorState
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
    // DataModified was set or cleared.
    void modifiedChanged(bool modified);

private:
    void allCellsChanged();

    TemperatureProgram m_table;
    QString m_initialTempText;
    int m_programNo = 0;
    QString m_comment;
    QString m_fileName;
};
