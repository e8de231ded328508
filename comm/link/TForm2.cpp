#include "TForm2.h"

#include "CommX.h"
#include "Numbers.h"
#include "PortDirectory.h"
#include "UiFonts.h"

#include <QComboBox>
#include <QLabel>
#include <stdexcept>

TForm2::TForm2(TCommX &comm, int &comPortNo, int &comPortIndex, std::function<void(const QString &)> showPort,
               QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , m_comm(comm)
    , m_comPortNo(comPortNo)
    , m_comPortIndex(comPortIndex)
    , m_showPort(std::move(showPort))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Com. Port Setup"));
    setFixedSize(222, 85);
    setFont(uiFont(font(), 12));

    auto *label = new QLabel(QStringLiteral("Com. Port"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(81, 14, 60, 14);
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setAccessibleName(QStringLiteral("Com. Port"));
    m_combo->setGeometry(72, 36, 89, 22);
    label->setBuddy(m_combo);
    connect(m_combo, &QComboBox::activated, this, [this] {
        try {
            ComboBox1Change();
        } catch (const std::exception &) {
            // Entries come from the port directory and are always COMn.
        }
    });
}

void TForm2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TForm2::FormShow()
{
    const QList<PortEntry> ports = m_comm.portDirectory().presentPorts();
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const PortEntry &port : ports) {
        m_combo->addItem(port.name);
        QString where = port.devicePath;
        if (!port.description.isEmpty())
            where += QStringLiteral(" - ") + port.description;
        m_combo->setItemData(m_combo->count() - 1, where, Qt::ToolTipRole);
        m_combo->setItemData(m_combo->count() - 1, where, Qt::AccessibleDescriptionRole);
    }
    const bool valid = m_comPortIndex >= 0 && m_comPortIndex < m_combo->count();
    m_combo->setCurrentIndex(valid ? m_comPortIndex : -1);
}

void TForm2::ComboBox1Change()
{
    m_comm.Close();
    const QString name = m_combo->currentText();
    const auto number = parseInteger(name.mid(3));
    if (!number)
        throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(name.mid(3)).toStdString());
    m_comPortNo = *number;
    m_comm.setPortNo(*number);
    m_comPortIndex = m_combo->currentIndex();
    m_showPort(name);
}
