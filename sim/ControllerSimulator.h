#pragma once

#include "sim/ControllerModel.h"
#include "sim/SimulatorLine.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

// One command the simulator took, and how it answered.
struct SimulatorRecord
{
    int unit = -1;           // the node that took it; -1 when none of the simulated ones
    QByteArray command;      // text after the header
    QByteArray endCode;      // "00", "13", "14"; empty when not judged (link cut)
    QByteArray responseCode; // with end code "00"
    bool answered = false;
};

// The controllers on the simulator's line (SimulatorLine): the editor opens
// slavePath() (or the COMn link) as its serial port, and the line's thread
// hands every frame to the controller at its node, which answers it. Keeps
// the commands taken. All methods may be called from any thread.
class ControllerSimulator
{
public:
    static constexpr int DefaultResponseWaitMs = SimulatorLine::DefaultResponseWaitMs;
    static constexpr int DefaultSplitGapMs = SimulatorLine::DefaultSplitGapMs;
    // The commands records() keeps: the latest ones, so that a simulator
    // that serves for days does not grow with every download.
    static constexpr int HistoryLimit = 10000;

    ControllerSimulator();
    ~ControllerSimulator();
    ControllerSimulator(const ControllerSimulator &) = delete;
    ControllerSimulator &operator=(const ControllerSimulator &) = delete;

    // Opens the pseudo-terminal and starts answering; false and the reason on failure.
    bool start(QString *error = nullptr);
    // Answers on a serial device instead (a USB adapter with a null-modem cable
    // to the editor's adapter), opened with the controller's line settings
    // (ControllerLine). A device that does not take them is refused; a
    // pseudo-terminal, which has no character size or parity, is taken as it is.
    bool startOnDevice(const QString &devicePath, QString *error = nullptr);
    // Ends the thread, closes the pseudo-terminal and removes the link. Idempotent.
    void stop();
    // True while the thread answers (false before start, after stop and after a cut).
    bool isServing() const;

    // The device the editor opens: the pseudo-terminal's slave, or the device given.
    QString slavePath() const;
    // Links portsDir/COMn to the slave device; call after start().
    bool linkAs(int comNumber, const QString &portsDir, QString *error = nullptr);
    QString linkPath() const;

    // The node numbers played on the line (0 to 99), each a controller with
    // a program of its own; frames to any other node go unanswered. Unit 1
    // unless set. Set before start().
    void setUnits(const QList<int> &units);
    QList<int> units() const;

    // Behaviour; takes effect from the next frame.
    void setSilent(bool silent);
    void setRunning(bool running);
    void addRefusal(const Refusal &refusal);
    void setBadBcc(bool badBcc);
    void setResponseWaitMs(int ms);
    // Answers leave at the pace of the controller's line (ControllerLine).
    void setPacing(bool paced);
    // Answers go out in three pieces with gaps; the check byte comes alone.
    void setSplitAnswers(bool split, int gapMs = DefaultSplitGapMs);
    // After answering n commands the next frame closes the line and removes the
    // link, like a cable pulled in the middle of a download. 0: never.
    void setCutAfter(int commands);
    // After answering n commands, takes every later one without answering,
    // like a controller that stops talking in the middle. 0: never.
    void setSilentAfter(int commands);
    // Receives each line the simulator prints (called on its thread). Set before start().
    void setOutput(std::function<void(const QString &)> output);

    // The last HistoryLimit commands taken, oldest first.
    QList<SimulatorRecord> records() const;
    // Every command taken since the start, also those records() no longer holds.
    qint64 commandCount() const;
    // Frames dropped because their rest did not come in time
    // (SimulatorLine::FrameGapMs).
    qint64 droppedFrames() const;
    // Waits until at least count commands were taken or the time is up.
    bool waitForRecords(qint64 count, int timeoutMs) const;
    SimulatedProgram program(int unit = 1) const;

private:
    mutable std::mutex m_mutex; // guards everything below but the line
    mutable std::condition_variable m_recordAdded;
    ControllerBehaviour m_behaviour;
    std::map<int, ControllerModel> m_models;
    QList<SimulatorRecord> m_records; // at most HistoryLimit
    qint64 m_commandCount = 0;
    std::function<void(const QString &)> m_output;

    // Last, so that its thread ends before the rest goes.
    SimulatorLine m_line;

    // Called on the line's thread with every whole frame.
    void takeFrame(const QByteArray &frame, SimulatorLine::Turn turn);
    void print(const QString &line);
};
