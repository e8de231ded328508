#include "comm/dialog/TForm2.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>

TForm2::TForm2(std::function<QList<PortEntry>()> presentPorts, const QFont &font, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_presentPorts(std::move(presentPorts))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Com. Port Setup"));
    setFixedSize(222, 85);
    // A window does not take its parent's font: the caller gives it.
    setFont(font);

    auto *label = new QLabel(QStringLiteral("Com. Port"), this);
    label->setObjectName(QStringLiteral("Label1"));
    // 50 by 12 pixels is the text's size in the font the dialog was drawn
    // for; the label takes its own text's size, so no letter is cut off in
    // the font this machine has.
    label->move(81, 14);
    label->resize(label->sizeHint().expandedTo(QSize(50, 12)));
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setAccessibleName(QStringLiteral("Com. Port"));
    m_combo->setGeometry(72, 36, 89, 20);
    label->setBuddy(m_combo);
    connect(m_combo, &QComboBox::activated, this, &TForm2::ComboBox1Change);
}

void TForm2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TForm2::FormShow()
{
    const QList<PortEntry> ports = m_presentPorts();
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const PortEntry &port : ports) {
        m_combo->addItem(port.name, port.portNo);
        QString where = port.devicePath;
        if (!port.description.isEmpty())
            where += QStringLiteral(" - ") + port.description;
        m_combo->setItemData(m_combo->count() - 1, where, Qt::ToolTipRole);
        m_combo->setItemData(m_combo->count() - 1, where, Qt::AccessibleDescriptionRole);
    }
    m_combo->setCurrentIndex(m_chosenPortNo > 0 ? m_combo->findData(m_chosenPortNo) : -1);
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::ComboBox1Change(int index)
{
    m_chosenPortNo = m_combo->itemData(index).toInt();
    emit portChosen(m_combo->itemData(index).toInt(), index, m_combo->itemText(index));
}
