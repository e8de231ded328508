#include "sim/ControllerSimulator.h"

#include <chrono>

namespace {

QString printable(const QByteArray &text)
{
    QString out;
    for (char c : text) {
        if (c >= 0x20 && c < 0x7F)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("<%1>").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return out;
}

} // namespace

ControllerSimulator::ControllerSimulator()
    : m_line([this](const QByteArray &frame, SimulatorLine::Turn turn) { takeFrame(frame, turn); })
{
    setUnits({1});
}

ControllerSimulator::~ControllerSimulator() { stop(); }

bool ControllerSimulator::start(QString *error) { return m_line.start(error); }

bool ControllerSimulator::startOnDevice(const QString &devicePath, QString *error)
{
    return m_line.startOnDevice(devicePath, error);
}

void ControllerSimulator::stop() { m_line.stop(); }

bool ControllerSimulator::isServing() const { return m_line.isServing(); }

QString ControllerSimulator::slavePath() const { return m_line.slavePath(); }

bool ControllerSimulator::linkAs(int comNumber, const QString &portsDir, QString *error)
{
    return m_line.linkAs(comNumber, portsDir, error);
}

QString ControllerSimulator::linkPath() const { return m_line.linkPath(); }

void ControllerSimulator::setSilent(bool silent) { m_line.setSilent(silent); }

void ControllerSimulator::setRunning(bool running)
{
    std::lock_guard lock(m_mutex);
    m_behaviour.running = running;
}

void ControllerSimulator::addRefusal(const Refusal &refusal)
{
    std::lock_guard lock(m_mutex);
    m_behaviour.refusals.append(refusal);
}

void ControllerSimulator::setBadBcc(bool badBcc)
{
    std::lock_guard lock(m_mutex);
    m_behaviour.badBcc = badBcc;
}

void ControllerSimulator::setResponseWaitMs(int ms) { m_line.setResponseWaitMs(ms); }

void ControllerSimulator::setPacing(bool paced) { m_line.setPacing(paced); }

void ControllerSimulator::setSplitAnswers(bool split, int gapMs) { m_line.setSplitAnswers(split, gapMs); }

void ControllerSimulator::setCutAfter(int commands) { m_line.setCutAfter(commands); }

void ControllerSimulator::setSilentAfter(int commands) { m_line.setSilentAfter(commands); }

void ControllerSimulator::setOutput(std::function<void(const QString &)> output)
{
    std::lock_guard lock(m_mutex);
    m_output = std::move(output);
}

QList<SimulatorRecord> ControllerSimulator::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

qint64 ControllerSimulator::commandCount() const
{
    std::lock_guard lock(m_mutex);
    return m_commandCount;
}

qint64 ControllerSimulator::droppedFrames() const { return m_line.droppedFrames(); }

bool ControllerSimulator::waitForRecords(qint64 count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_recordAdded.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_commandCount >= count; });
}

void ControllerSimulator::setUnits(const QList<int> &units)
{
    std::lock_guard lock(m_mutex);
    m_models.clear();
    for (int unit : units)
        m_models.emplace(unit, ControllerModel(unit));
}

QList<int> ControllerSimulator::units() const
{
    std::lock_guard lock(m_mutex);
    QList<int> units;
    for (const auto &[unit, model] : m_models)
        units << unit;
    return units;
}

SimulatedProgram ControllerSimulator::program(int unit) const
{
    std::lock_guard lock(m_mutex);
    const auto model = m_models.find(unit);
    return model == m_models.end() ? SimulatedProgram{} : model->second.program();
}

void ControllerSimulator::takeFrame(const QByteArray &frame, SimulatorLine::Turn turn)
{
    const bool cut = turn == SimulatorLine::Turn::Cut;
    const bool silent = turn == SimulatorLine::Turn::Silent;
    FrameOutcome outcome;
    int unit = -1;
    bool severalUnits = false;
    {
        std::lock_guard lock(m_mutex);
        severalUnits = m_models.size() > 1;
        bool isNumber = false;
        const auto model = m_models.find(frame.mid(1, 2).toInt(&isNumber));
        if (isNumber && model != m_models.end())
            unit = model->first;
        if (cut)
            outcome.command = frame.mid(6, frame.size() - 8);
        else if (unit >= 0)
            outcome = model->second.handleFrame(frame, m_behaviour);
        else
            outcome.command = frame.mid(6, frame.size() - 8); // another node's frame
    }
    SimulatorRecord record{unit, outcome.command, outcome.endCode, outcome.responseCode, false};
    const QString who = severalUnits && unit >= 0 ? QStringLiteral("unit %1 ").arg(unit) : QString();
    if (cut) {
        print(QStringLiteral("%1<- %2  (line cut)").arg(who, printable(outcome.command)));
    } else {
        if (!silent && !outcome.answer.isEmpty())
            record.answered = m_line.answer(outcome.answer);
        QString line =
            QStringLiteral("%1<- %2  ").arg(who, printable(outcome.command.isEmpty() ? frame : outcome.command));
        if (unit < 0)
            line += QStringLiteral("(for node %1, not here)").arg(printable(frame.mid(1, 2)));
        else if (!record.answered)
            line += silent ? QStringLiteral("(silent)") : QStringLiteral("(no answer)");
        else if (outcome.endCode != "00")
            line += QStringLiteral("-> end code %1").arg(QLatin1String(outcome.endCode));
        else
            line += QStringLiteral("-> %1").arg(printable(outcome.answer.mid(11, outcome.answer.size() - 13)));
        print(line);
        if (outcome.programComplete)
            print(who + ControllerModel::describeProgram(program(unit)));
    }
    {
        std::lock_guard lock(m_mutex);
        m_records.append(record);
        if (m_records.size() > HistoryLimit)
            m_records.removeFirst();
        ++m_commandCount;
    }
    m_recordAdded.notify_all();
}

void ControllerSimulator::print(const QString &line)
{
    std::function<void(const QString &)> output;
    {
        std::lock_guard lock(m_mutex);
        output = m_output;
    }
    if (output)
        output(line);
}
