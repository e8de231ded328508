#pragma once

#include "comm/PortDirectory.h"
#include "comm/SerialPlatform.h"

#include <QByteArray>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TCustomCommX;
class TCommTransThread;
class TCommReceiveThread;
class CommNotifier;

enum TCommParityBits : quint8 { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits : quint8 { csb1, csb1p5, csb2 };
enum TCommFlowCtrls : quint8 { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

using TCommReceiveEvent = std::function<void(TCustomCommX *Sender, int ReceiveSize)>;
using TCommErrEvent = std::function<void(TCustomCommX *Sender, int ErrorState)>;

// Error codes of the component, as ECommError::ErrorState and the OnError
// handler carry them.
namespace CommErrorCode {
constexpr int AlreadyOpen = 100;
constexpr int OpenFailed = 101;
constexpr int TransThread = 102;
constexpr int ReceiveThread = 103;
constexpr int BitRate = 104;
constexpr int CharSize = 105;
constexpr int ParityBit = 106;
constexpr int StopBit = 107;
constexpr int FlowCtrl = 108;
constexpr int TimeOuts = 109;
constexpr int XonChar = 110;
constexpr int XoffChar = 111;
constexpr int SetupComm = 112;
}

// Notifications of the port's threads, delivered on the thread that opened
// the port.
constexpr int WM_COMM_RECEIVE = 0x500;
constexpr int WM_COMM_BREAK = 0x501;
constexpr int WM_COMM_ERROR = 0x502;

class ECommError : public std::exception
{
public:
    explicit ECommError(int errorState);
    const char *what() const noexcept override { return m_message.c_str(); }
    int ErrorState;

private:
    std::string m_message;
};

// The serial port: opens a device by port number, applies the line settings,
// transmits through a transmit thread fed by a queue of chunks, reads with a
// total time-out while keeping the event loop alive, and watches line events
// on a receive thread. Every operation is called from one thread, the one
// that runs the event loop.
class TCustomCommX
{
public:
    static constexpr quint32 InvalidHandle = 0xFFFFFFFFu;
    static constexpr int MaxPendingChunks = 32;

    // Without a platform the component runs on the POSIX terminal layer, or on
    // the network layer for a "socket://" or "rfc2217://" port.
    explicit TCustomCommX(std::unique_ptr<SerialPlatform> platform = nullptr);
    virtual ~TCustomCommX();
    TCustomCommX(const TCustomCommX &) = delete;
    TCustomCommX &operator=(const TCustomCommX &) = delete;

    virtual bool Write(const char *Data, int Count);
    virtual int Read(char *Buffer, int Count);
    // Like Read, but also ends as soon as Complete says that the bytes so far
    // make a whole answer (the component knows bytes, not frames).
    int ReadAnswer(char *Buffer, int Count, const std::function<bool(const char *, int)> &Complete);

    void Open();
    void Close();
    bool IsOpen() const;
    quint32 Handle() const;

    void PurgeTrans();
    void PurgeReceive();
    void SetRts(bool Value);
    void SetDtr(bool Value);

    SerialPlatform &platform() const { return *FPlatform; }
    void setPortDirectory(const PortDirectory &directory) { FPorts = directory; }
    const PortDirectory &portDirectory() const { return FPorts; }
    // Why the last Open could not open the device (code 101): which step
    // failed, with the system's error number, and the device it tried.
    const OpenFailure &LastOpenFailure() const { return FOpenFailure; }
    const QString &LastOpenDevice() const { return FOpenDevice; }

    // Chunks and bytes handed to the transmit thread and not yet finished.
    int PendingCount() const;
    int PendingBytes() const;

    void setOnReceive(TCommReceiveEvent handler) { FOnReceive = std::move(handler); }
    void setOnError(TCommErrEvent handler) { FOnError = std::move(handler); }

    // One ten-bit character time in ms, plus 1.
    static int CharTimeFor(int bitRate);
    // The flag word of the line settings for a flow control.
    static quint32 FlagWordFor(TCommFlowCtrls flowCtrl);

protected:
    int PortNo() const { return FPortNo; }
    void setPortNo(int value);
    int BitRate() const { return FBitRate; }
    void setBitRate(int value);
    int CharSize() const { return FCharSize; }
    void setCharSize(int value);
    TCommParityBits ParityBit() const { return FParityBit; }
    void setParityBit(TCommParityBits value);
    TCommStopBits StopBit() const { return FStopBit; }
    void setStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const { return FFlowCtrl; }
    void setFlowCtrl(TCommFlowCtrls value);
    int TimeOutTrans() const { return FTimeOutTrans; }
    void setTimeOutTrans(int value);
    int TimeOutReceive() const { return FTimeOutReceive; }
    void setTimeOutReceive(int value);
    char XonChar() const { return FXonChar; }
    void setXonChar(char value);
    char XoffChar() const { return FXoffChar; }
    void setXoffChar(char value);
    int BufLenTrans() const { return FBufLenTrans; }
    void setBufLenTrans(int value);
    int BufLenReceive() const { return FBufLenReceive; }
    void setBufLenReceive(int value);

    void ReportError(int errorState);

private:
    int ReadUntil(char *buffer, int count, const std::function<bool(const char *, int)> &complete);
    bool ApplyCommState(const std::function<void(CommLineSettings &)> &edit, int errorState);
    void ApplyBitRate();
    void ApplyCharSize();
    void ApplyParityBit();
    void ApplyStopBit();
    void ApplyFlowCtrl();
    void ApplyTimeOuts();
    void ApplyXonChar();
    void ApplyXoffChar();
    void ApplyQueueSizes();
    void StartThreads();
    void ChunkFinished(int length);
    void Deliver(int message, quint32 param);

    std::unique_ptr<SerialPlatform> FPlatform;
    PortDirectory FPorts;
    OpenFailure FOpenFailure;
    QString FOpenDevice;

    int FPortNo = 1;
    int FBitRate = 9600;
    int FCharSize = 8;
    TCommParityBits FParityBit = cpbNone;
    TCommStopBits FStopBit = csb1;
    std::atomic<TCommFlowCtrls> FFlowCtrl{cfcRtsCts}; // the transmit thread reads it
    int FTimeOutTrans = 3000;
    int FTimeOutReceive = 3000;
    char FXonChar = 17;
    char FXoffChar = 19;
    int FBufLenTrans = 2048;
    int FBufLenReceive = 2048;

    TCommReceiveEvent FOnReceive;
    TCommErrEvent FOnError;

    CommLineSettings FDcb;
    int FReadAborts = 0; // counts PurgeReceive calls; a pending Read ends with -1

    std::unique_ptr<CommNotifier> FNotifier;
    std::unique_ptr<TCommTransThread> FTransThread;
    std::unique_ptr<TCommReceiveThread> FReceiveThread;

    std::mutex FWriteLock;
    mutable std::mutex FCountLock;
    int FPendingBytes = 0;
    int FPendingCount = 0;
};

class TCommX : public TCustomCommX
{
public:
    using TCustomCommX::TCustomCommX;

    using TCustomCommX::BitRate;
    using TCustomCommX::BufLenReceive;
    using TCustomCommX::BufLenTrans;
    using TCustomCommX::CharSize;
    using TCustomCommX::FlowCtrl;
    using TCustomCommX::ParityBit;
    using TCustomCommX::PortNo;
    using TCustomCommX::setBitRate;
    using TCustomCommX::setBufLenReceive;
    using TCustomCommX::setBufLenTrans;
    using TCustomCommX::setCharSize;
    using TCustomCommX::setFlowCtrl;
    using TCustomCommX::setParityBit;
    using TCustomCommX::setPortNo;
    using TCustomCommX::setStopBit;
    using TCustomCommX::setTimeOutReceive;
    using TCustomCommX::setTimeOutTrans;
    using TCustomCommX::setXoffChar;
    using TCustomCommX::setXonChar;
    using TCustomCommX::StopBit;
    using TCustomCommX::TimeOutReceive;
    using TCustomCommX::TimeOutTrans;
    using TCustomCommX::XoffChar;
    using TCustomCommX::XonChar;

    // True at once for an empty S; otherwise Write over its bytes.
    bool WriteString(const QByteArray &S);
};
