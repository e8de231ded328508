#pragma once

#include <QString>

// Caption and text of the question before a file of that full path is
// replaced: "The file ... already exists. Do you want to overwrite it ?".
// Save as and the exports ask it alike.
extern const QString ConfirmationCaption;
QString overwriteQuestion(const QString &path);
