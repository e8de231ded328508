#include "app/TransferRecordDialog.h"

#include "comm/link/TransferRecording.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString All = QStringLiteral("All");

QSpinBox *allOrNumber(int max, const QString &accessibleName)
{
    auto *box = new QSpinBox;
    box->setRange(-1, max);
    box->setValue(-1);
    box->setSpecialValueText(All); // -1
    box->setAccessibleName(accessibleName);
    return box;
}
} // namespace

TransferRecordDialog::TransferRecordDialog(const QList<TransferRecord> &records, const QStringList &warnings,
                                           QWidget *parent)
    : QDialog(parent)
    , m_records(records)
    , m_port(new QComboBox)
    , m_unit(allOrNumber(99, QStringLiteral("Unit")))
    , m_programNo(allOrNumber(7, QStringLiteral("Program No.")))
    , m_table(new QTableWidget(0, 7))
    , m_compare(new QPushButton(QStringLiteral("&Compare with the program in the editor")))
    , m_open(new QPushButton(QStringLiteral("&Open as new program")))
{
    setObjectName(QStringLiteral("TransferRecordDialog"));
    setWindowTitle(QStringLiteral("Transfer record"));
    resize(760, 420);

    QHBoxLayout *filters = buildFilters();
    setUpTable();
    QDialogButtonBox *buttons = buildButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table);
    if (!warnings.isEmpty()) {
        auto *skipped = new QLabel(QStringLiteral("Lines of the log that are not whole records were skipped:\n")
                                   + warnings.join(QLatin1Char('\n')));
        skipped->setWordWrap(true);
        layout->addWidget(skipped);
    }
    layout->addWidget(buttons);

    connect(m_port, &QComboBox::currentIndexChanged, this, &TransferRecordDialog::fill);
    connect(m_unit, &QSpinBox::valueChanged, this, &TransferRecordDialog::fill);
    connect(m_programNo, &QSpinBox::valueChanged, this, &TransferRecordDialog::fill);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &TransferRecordDialog::selectionChanged);
    fill();
    // The newest record picked and the table focused: its buttons work at
    // once, the arrows pick another, the filters are a Tab (or a letter) away.
    if (m_table->rowCount() > 0)
        m_table->selectRow(0);
    m_table->setFocus();
}

// The port list (the ports of the records), the unit and the program number,
// each with its caption.
QHBoxLayout *TransferRecordDialog::buildFilters()
{
    QStringList ports;
    for (const TransferRecord &r : std::as_const(m_records))
        if (!ports.contains(r.portName))
            ports << r.portName;
    ports.sort();
    m_port->addItem(All);
    m_port->addItems(ports);
    m_port->setAccessibleName(QStringLiteral("Port"));

    auto *filters = new QHBoxLayout;
    for (const auto &[label, widget] : {std::pair<QString, QWidget *>{QStringLiteral("&Port:"), m_port},
                                        {QStringLiteral("&Unit:"), m_unit},
                                        {QStringLiteral("Program &No.:"), m_programNo}}) {
        auto *caption = new QLabel(label);
        caption->setBuddy(widget);
        filters->addWidget(caption);
        filters->addWidget(widget);
    }
    filters->addStretch();
    return filters;
}

void TransferRecordDialog::setUpTable()
{
    m_table->setObjectName(QStringLiteral("TransferRecords"));
    m_table->setAccessibleName(QStringLiteral("Transfer records"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("Time"), QStringLiteral("Port"),
                                        QStringLiteral("Unit"), QStringLiteral("Program No."), QStringLiteral("File"),
                                        QStringLiteral("Ending")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the buttons; the arrows move within it.
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
}

// Close, Compare and Open as new program.
QDialogButtonBox *TransferRecordDialog::buildButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("C&lose"));
    buttons->addButton(m_compare, QDialogButtonBox::ActionRole);
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_compare, &QPushButton::clicked, this, [this] {
        if (const auto record = selectedRecord())
            emit compareRequested(*record);
    });
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (const auto record = selectedRecord())
            emit openAsNewRequested(*record);
    });
    return buttons;
}

TransferFilter TransferRecordDialog::filter() const
{
    TransferFilter f;
    if (m_port->currentIndex() > 0)
        f.port = m_port->currentText();
    if (m_unit->value() >= 0)
        f.unit = m_unit->value();
    if (m_programNo->value() >= 0)
        f.programNo = m_programNo->value();
    return f;
}

void TransferRecordDialog::fill()
{
    const TransferFilter f = filter();
    m_shown.clear();
    QList<qsizetype> numbers; // as `vantrel log` numbers them: from 1, in the order appended
    for (qsizetype i = m_records.size() - 1; i >= 0; --i)
        if (f.matches(m_records.at(i))) {
            m_shown << m_records.at(i);
            numbers << i + 1;
        }
    m_table->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const TransferRecord &r = m_shown.at(row);
        const QStringList cells{QStringLiteral("@%1").arg(numbers.at(row)),
                                TransferRecording::displayTime(r.time),
                                r.portName,
                                QString::number(r.unit),
                                QString::number(r.program.programNo),
                                TransferRecording::fileText(r),
                                TransferRecording::endingText(r)};
        for (int col = 0; col < cells.size(); ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            item->setToolTip(TransferRecording::lastSentText(r));
            m_table->setItem(row, col, item);
        }
    }
    m_table->resizeColumnsToContents();
    selectionChanged();
}

std::optional<TransferRecord> TransferRecordDialog::selectedRecord() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    if (ranges.isEmpty() || ranges.first().topRow() >= m_shown.size())
        return std::nullopt;
    return m_shown.at(ranges.first().topRow());
}

void TransferRecordDialog::selectionChanged()
{
    const auto record = selectedRecord();
    m_compare->setEnabled(record && record->completed());
    m_open->setEnabled(record && !record->program.segments.isEmpty());
}
