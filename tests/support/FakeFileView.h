#pragma once

#include "files/commands/FileView.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"
#include "model/StatusPanel.h"

#include <QStringList>

// The window as the File commands see it, without a window: the checks
// accept, the chart is the profile computed from the document, and the
// caption and status panels are texts kept here.
class FakeFileView : public FileView
{
public:
    explicit FakeFileView(ProgramDocument &document) : m_document(document) {}

    QString caption;
    QStringList panels{QString(), QString(), QString(), QString()};
    int profilePoints = 0;
    int replaced = 0;
    int saved = 0;
    QStringList used;

    void checkInitialTempField() override { m_document.setInitialTempError(false); }
    void checkEditedCell() override {}
    void redrawProfile() override
    {
        const Profile profile = computeProfile(m_document.initialTemp(), m_document.table());
        profilePoints = int(profile.points.size());
        panels[StatusPanel::TotalTime] = totalTimeText(profile.totalMinutes);
    }
    void clearChart() override { profilePoints = 0; }
    QString titleText() const override { return QStringLiteral("Vantrel Assistant Ver.1.01"); }
    void setCaption(const QString &text) override { caption = text; }
    void setStatusText(int panel, const QString &text) override { panels[panel] = text; }
    void closeGridEditor() override {}
    void endGridEdit() override {}
    void showGridCell(int, int) override {}
    void resetModeCombo() override {}
    void commentCaretToStart() override {}
    void programReplaced() override { ++replaced; }
    void programSaved() override { ++saved; }
    void fileUsed(const QString &path) override { used << path; }

private:
    ProgramDocument &m_document;
};
