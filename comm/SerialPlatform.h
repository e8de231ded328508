#pragma once

#include <QString>
#include <QtGlobal>

// The handful of operations the serial component needs from the operating
// system. Each method is one platform operation; the component holds the
// logic. A fake of this interface lets tests see what the component asked for
// (a pseudo-terminal keeps none of the line settings).

// The fields of the line-settings record the component edits.
struct CommLineSettings
{
    quint32 BaudRate = 9600;
    quint32 Flags = 0; // flag word, see CommFlag
    quint16 XonLim = 0;
    quint16 XoffLim = 0;
    quint8 ByteSize = 8; // 5 to 8
    quint8 Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    quint8 StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0x11;
    char XoffChar = 0x13;
    bool operator==(const CommLineSettings &) const = default;
};

// Bits of CommLineSettings::Flags.
namespace CommFlag {
constexpr quint32 Binary = 0x0001;
constexpr quint32 Parity = 0x0002; // check parity on input
constexpr quint32 OutxCtsFlow = 0x0004;
constexpr quint32 OutxDsrFlow = 0x0008;
constexpr quint32 DtrControlMask = 0x0030;
constexpr quint32 DtrEnable = 0x0010;
constexpr quint32 DtrHandshake = 0x0020;
constexpr quint32 OutX = 0x0100; // XON/XOFF on output
constexpr quint32 InX = 0x0200;  // XON/XOFF on input
constexpr quint32 RtsControlMask = 0x3000;
constexpr quint32 RtsEnable = 0x1000;
constexpr quint32 RtsHandshake = 0x2000;
constexpr quint32 RtsToggle = 0x3000;
}

struct CommTimeouts
{
    quint32 ReadIntervalTimeout = 0;
    quint32 ReadTotalTimeoutMultiplier = 0;
    quint32 ReadTotalTimeoutConstant = 0;
    quint32 WriteTotalTimeoutMultiplier = 0;
    quint32 WriteTotalTimeoutConstant = 0;
    bool operator==(const CommTimeouts &) const = default;
};

namespace CommPurge {
constexpr quint32 TxAbort = 0x0001;
constexpr quint32 RxAbort = 0x0002;
constexpr quint32 TxClear = 0x0004;
constexpr quint32 RxClear = 0x0008;
}

namespace CommEvent {
constexpr quint32 RxChar = 0x0001;
constexpr quint32 Break = 0x0040;
constexpr quint32 Err = 0x0080;
}

namespace CommLineError {
constexpr quint32 Overrun = 0x0002;
constexpr quint32 RxParity = 0x0004;
constexpr quint32 Frame = 0x0008;
constexpr quint32 Mask = 0x000E;
}

enum class CommEscape { SetRts = 3, ClrRts = 4, SetDtr = 5, ClrDtr = 6 };

// Why open() failed: the step that failed and the system's error number
// (errno; 0 for a step that has none).
struct OpenFailure
{
    enum class Step {
        None,         // open() has not failed
        NoDevice,     // no device behind the port number (decided by the caller)
        Open,         // the system refused to open the device
        NotATerminal, // the device is not a serial line
        InUse,        // another program holds it
        Setup,        // it opened but could not be set up
        NameNotFound, // a network port's host name is not known (error: 0, or errno)
        Connect,      // a network port's server could not be reached (refused, no route, timed out)
        Protocol,     // the server does not speak the COM-port option (error: ETIMEDOUT when silent)
    };
    Step step = Step::None;
    int error = 0;
};

enum class WriteStart {
    Done,    // everything was taken at once
    Pending, // the rest follows: call finishWrite
    Failed
};

class SerialPlatform
{
public:
    virtual ~SerialPlatform() = default;

    // Opens the device for reading and writing, exclusively. False when the
    // device is missing, busy or not a serial line; failure then says which
    // step failed and the system's error number, found while opening.
    virtual bool open(const QString &devicePath, OpenFailure &failure) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int handle() const = 0; // -1 while closed

    virtual bool setupComm(int inputQueue, int outputQueue) = 0;
    // TxAbort makes a pending write finish with a failure; the clear bits
    // discard the driver's queues.
    virtual bool purgeComm(quint32 flags) = 0;
    virtual bool getCommState(CommLineSettings &settings) = 0;
    // Applies all of the record or nothing; false for a setting the device
    // cannot take.
    virtual bool setCommState(const CommLineSettings &settings) = 0;
    virtual bool getCommTimeouts(CommTimeouts &timeouts) = 0;
    virtual bool setCommTimeouts(const CommTimeouts &timeouts) = 0;

    // The events waitCommEvent reports (CommEvent bits). Setting the mask
    // also wakes a pending wait so that it sees the new mask.
    virtual bool setCommMask(quint32 mask) = 0;
    // Blocks until one of the masked events happens and returns it, or
    // returns 0 once cancelWaitCommEvent was called (also when that call
    // came before the wait started). "A character arrived" is reported once
    // until the input has been read or purged.
    virtual quint32 waitCommEvent() = 0;
    virtual void cancelWaitCommEvent() = 0;

    // A write in two steps, one at a time: startWrite hands over what the
    // device takes at once; finishWrite waits for the rest. It ends with
    // true when all was written or the write time-out passed (written then
    // tells how much), false when a purge aborted it or the line failed.
    virtual WriteStart startWrite(const char *data, int count, int &written) = 0;
    virtual bool finishWrite(int &written) = 0;

    // Takes what has arrived, up to maxCount bytes, without waiting; 0 when
    // nothing is there, -1 when the line failed or hung up.
    virtual int readAvailable(char *buffer, int maxCount) = 0;
    // Waits at most timeoutMs for input (or a line failure).
    virtual void waitReadable(int timeoutMs) = 0;
    virtual int inputQueueBytes() = 0;

    // Returns the line error flags (CommLineError) seen since the last call.
    virtual quint32 clearCommError() = 0;
    virtual bool escapeCommFunction(CommEscape function) = 0;

    // What a person should know about the line the last open made, though
    // it works (an adapter that may hold answers back, say); empty when
    // nothing. Kept after close.
    virtual QString lineNote() const { return {}; }
    // Why the last setCommState failed where the line knows better than the
    // setting it was given (a network server that went away or stayed
    // silent); empty otherwise. Kept after close, cleared by the next open.
    virtual QString settingsFailure() const { return {}; }
};
