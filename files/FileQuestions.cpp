#include "files/FileQuestions.h"

const QString ConfirmationCaption = QStringLiteral("Confirmation");

QString overwriteQuestion(const QString &path)
{
    return QStringLiteral("The file ") + path + QStringLiteral(" already exists. Do you want to overwrite it ?");
}
