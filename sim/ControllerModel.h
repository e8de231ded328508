#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <bitset>

// What the simulated controller holds after the writes it accepted.
struct SimulatedSegment
{
    int mode = 0;        // 0 Ramp, 1 Hold
    int temperature = 0; // tenths of a degree
    int rate = 0;        // tenths of a degree per minute
    int time = 0;        // minutes * 100 + seconds
};

struct SimulatedProgram
{
    int programNumber = 0;
    int programNumberAgain = 0;
    int initialTemperature = 0; // tenths of a degree
    int segmentCount = 0;
    std::array<SimulatedSegment, 32> segments{};
};

// A command the controller answers with the given response code instead of
// carrying it out. The command is recognised by the start of its text.
struct Refusal
{
    QByteArray commandPrefix;
    QByteArray code;
};

// How the controller behaves; set by the person or the test.
struct ControllerBehaviour
{
    bool running = false; // status query reports a running program
    bool badBcc = false;  // answers carry a wrong check byte
    QList<Refusal> refusals;
};

// The outcome of one frame.
struct FrameOutcome
{
    QByteArray command;           // text after the header, as far as the frame has one
    QByteArray endCode;           // "00", "13" (check byte), "14" (format)
    QByteArray responseCode;      // when the end code is "00"
    QByteArray answer;            // bytes to send back; empty: no answer
    bool programComplete = false; // this write brought in the last announced segment
};

// The controller's side of the protocol, free of ports and threads: takes one
// whole frame (STX .. ETX, check byte) and tells what to answer.
class ControllerModel
{
public:
    // A controller at node number `unit` (0 to 99): it takes the frames whose
    // header begins with that number and leaves every other frame alone.
    explicit ControllerModel(int unit = 1) : m_unit(unit) {}
    int unit() const { return m_unit; }

    FrameOutcome handleFrame(const QByteArray &frame, const ControllerBehaviour &behaviour);
    const SimulatedProgram &program() const { return m_program; }

    // The start of the command text of command k of a download (1 status query,
    // 2 program number, 3 initial temperature, 4 program number again,
    // 5 segment count, 6 segment); empty for other k.
    static QByteArray commandPrefixOfNumber(int k);
    // Parses "K:CODE" where K is 1..6 or the start of a command text and CODE four
    // printable ASCII characters. Returns false on a malformed text.
    static bool parseRefusal(const QString &text, Refusal *refusal);
    // "Program 3, initial 40.0 deg C, 2 segments:" and one line per segment.
    static QString describeProgram(const SimulatedProgram &program);

private:
    int m_unit;
    SimulatedProgram m_program;
    std::bitset<32> m_segmentsArrived;

    QByteArray answerRead(const QByteArray &command, const ControllerBehaviour &behaviour, QByteArray *data) const;
    QByteArray answerWrite(const QByteArray &command, bool *programComplete);
};
