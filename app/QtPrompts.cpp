#include "app/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

QString QtPrompts::displayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString QtPrompts::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses that end an entry; a
        // label that already ends with them is shown as it is, not twice.
        const QString inParentheses = u'(' + patterns + u')';
        entries << (parts[i].endsWith(inParentheses) ? parts[i] : parts[i] + u' ' + inParentheses);
    }
    return entries.join(QLatin1String(";;"));
}

namespace {
void setFurther(QMessageBox &box, const QString &further)
{
    if (!further.isEmpty())
        box.setInformativeText(QtPrompts::displayText(further));
}
} // namespace

void QtPrompts::message(const QString &text, const QString &further)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), displayText(text), QMessageBox::Ok, m_parent);
    setFurther(box, further);
    box.exec();
}

Prompts::Button QtPrompts::box(const QString &caption, const QString &text, Icon icon, int buttons,
                               const QString &further)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Question:
        qtIcon = QMessageBox::Question;
        break;
    case Icon::Error:
        qtIcon = QMessageBox::Critical;
        break;
    case Icon::Information:
        qtIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        qtIcon = QMessageBox::Warning;
        break;
    }
    QMessageBox::StandardButtons qtButtons;
    if (buttons & Ok)
        qtButtons |= QMessageBox::Ok;
    if (buttons & Yes)
        qtButtons |= QMessageBox::Yes;
    if (buttons & No)
        qtButtons |= QMessageBox::No;
    if (buttons & Cancel)
        qtButtons |= QMessageBox::Cancel;
    QMessageBox box(qtIcon, caption, displayText(text), qtButtons, m_parent);
    setFurther(box, further);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    case QMessageBox::Cancel:
        return Cancel;
    default:
        return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
    }
}

void QtPrompts::error(const QString &text, const QString &further)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), displayText(errorDisplayText(text)), QMessageBox::Ok,
                    m_parent);
    setFurther(box, further);
    box.exec();
}

QString QtPrompts::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, qtFilter(filter), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString QtPrompts::saveFileName(const QString &title, const QString &fileName, const QString &filter,
                                const QString &defaultSuffix)
{
    QFileDialog dialog(m_parent, title, fileName, qtFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
