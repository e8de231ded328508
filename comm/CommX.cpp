#include "comm/CommX.h"

#include "comm/CommThreads.h"
#include "comm/PortPlatform.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

ECommError::ECommError(int errorState)
    : ErrorState(errorState)
    , m_message("Serial port error " + std::to_string(errorState))
{}

TCustomCommX::TCustomCommX(std::unique_ptr<SerialPlatform> platform)
    : FPlatform(platform ? std::move(platform) : std::make_unique<PortPlatform>())
{}

TCustomCommX::~TCustomCommX() { Close(); }

bool TCustomCommX::IsOpen() const { return FPlatform->isOpen(); }

quint32 TCustomCommX::Handle() const { return IsOpen() ? quint32(FPlatform->handle()) : InvalidHandle; }

int TCustomCommX::PendingCount() const
{
    std::lock_guard lock(FCountLock);
    return FPendingCount;
}

int TCustomCommX::PendingBytes() const
{
    std::lock_guard lock(FCountLock);
    return FPendingBytes;
}

int TCustomCommX::CharTimeFor(int bitRate) { return 1000 / std::max(1, bitRate / 10) + 1; }

quint32 TCustomCommX::FlagWordFor(TCommFlowCtrls flowCtrl)
{
    switch (flowCtrl) {
    case cfcRtsCts:
        return 0x2017;
    case cfcDtrDsr:
        return 0x102B;
    case cfcXonXoff:
        return 0x1313;
    case cfcHalfHigh:
        return 0x0013;
    case cfcHalfLow:
    case cfcNone:
        break;
    }
    return 0x1013;
}

void TCustomCommX::ReportError(int errorState)
{
    if (FOnError)
        FOnError(this, errorState);
    else
        throw ECommError(errorState);
}

void TCustomCommX::Open()
{
    if (IsOpen()) {
        ReportError(CommErrorCode::AlreadyOpen);
        return;
    }
    FOpenDevice = FPorts.devicePathFor(FPortNo);
    FOpenFailure = {};
    if (FOpenDevice.isEmpty())
        FOpenFailure.step = OpenFailure::Step::NoDevice;
    if (FOpenDevice.isEmpty() || !FPlatform->open(FOpenDevice, FOpenFailure)) {
        ReportError(CommErrorCode::OpenFailed);
        return;
    }
    try {
        {
            std::lock_guard lock(FCountLock);
            FPendingBytes = 0;
            FPendingCount = 0;
        }
        ApplyQueueSizes();
        FPlatform->purgeComm(CommPurge::TxAbort | CommPurge::TxClear);
        FPlatform->purgeComm(CommPurge::RxAbort | CommPurge::RxClear);
        FPlatform->getCommState(FDcb);
        ApplyBitRate();
        ApplyCharSize();
        ApplyParityBit();
        ApplyStopBit();
        ApplyFlowCtrl();
        ApplyTimeOuts();
        ApplyXonChar();
        ApplyXoffChar();
        FPlatform->setCommMask(CommEvent::RxChar | CommEvent::Break | CommEvent::Err);
        StartThreads();
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomCommX::StartThreads()
{
    if (!FNotifier)
        FNotifier = std::make_unique<CommNotifier>([this](int message, quint32 param) { Deliver(message, param); });
    FTransThread.reset();
    FReceiveThread.reset();
    try {
        auto thread = std::make_unique<TCommTransThread>(
            *FPlatform, FWriteLock, FFlowCtrl, [this](int length) { ChunkFinished(length); }, FNotifier.get());
        thread->FCharTime = CharTimeFor(FBitRate);
        thread->Start();
        FTransThread = std::move(thread);
    } catch (const std::system_error &) {
        ReportError(CommErrorCode::TransThread);
        return;
    }
    try {
        auto thread = std::make_unique<TCommReceiveThread>(*FPlatform, FNotifier.get());
        thread->Start();
        FReceiveThread = std::move(thread);
    } catch (const std::system_error &) {
        ReportError(CommErrorCode::ReceiveThread);
        return;
    }
}

void TCustomCommX::Close()
{
    if (!IsOpen())
        return;
    SetDtr(false);
    SetRts(false);
    PurgeTrans();
    PurgeReceive();
    if (FTransThread)
        FTransThread->Terminate();
    if (FReceiveThread)
        FReceiveThread->Terminate();
    // Nothing may touch the port after it is closed: wait for both threads.
    if (FTransThread)
        FTransThread->Join();
    if (FReceiveThread)
        FReceiveThread->Join();
    FTransThread.reset();
    FReceiveThread.reset();
    if (FNotifier)
        FNotifier->clear();
    FPlatform->close();
}

// Breaks and line errors are posted too; only arrivals have a handler.
void TCustomCommX::Deliver(int message, quint32)
{
    if (message == WM_COMM_RECEIVE && FOnReceive && IsOpen())
        FOnReceive(this, FPlatform->inputQueueBytes());
}

bool TCustomCommX::Write(const char *Data, int Count)
{
    if (Count <= 0)
        return true;
    if (!Data)
        return false;
    int done = 0;
    while (done < Count) {
        if (!IsOpen() || !FTransThread)
            return false;
        if (PendingCount() >= MaxPendingChunks) {
            QCoreApplication::processEvents();
            sleepMs(1);
            continue;
        }
        const int length = std::min(Count - done, std::max(1, FBufLenTrans));
        try {
            TransMessage message{TransMessage::Send, std::make_unique<char[]>(size_t(length)), length};
            std::memcpy(message.block.get(), Data + done, size_t(length));
            {
                std::lock_guard lock(FCountLock);
                FPendingBytes += length;
                ++FPendingCount;
            }
            FTransThread->Post(std::move(message));
        } catch (const std::bad_alloc &) {
            // A chunk that cannot be held is skipped; the rest still goes.
        }
        done += length;
    }
    return true;
}

void TCustomCommX::ChunkFinished(int length)
{
    std::lock_guard lock(FCountLock);
    FPendingBytes = std::max(0, FPendingBytes - length);
    if (FPendingCount > 0)
        --FPendingCount;
}

int TCustomCommX::Read(char *Buffer, int Count) { return ReadUntil(Buffer, Count, nullptr); }

int TCustomCommX::ReadAnswer(char *Buffer, int Count, const std::function<bool(const char *, int)> &Complete)
{
    return ReadUntil(Buffer, Count, Complete);
}

int TCustomCommX::ReadUntil(char *buffer, int count, const std::function<bool(const char *, int)> &complete)
{
    if (!IsOpen() || !FReceiveThread || !buffer)
        return -1;
    if (count <= 0)
        return 0;
    using Clock = std::chrono::steady_clock;
    CommTimeouts timeouts;
    FPlatform->getCommTimeouts(timeouts);
    const qint64 total = qint64(timeouts.ReadTotalTimeoutMultiplier) * count + timeouts.ReadTotalTimeoutConstant;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
    const int aborts = FReadAborts;
    int got = 0;
    for (;;) {
        const int n = FPlatform->readAvailable(buffer + got, count - got);
        if (n < 0) {
            FPlatform->clearCommError();
            return -1;
        }
        got += n;
        if (got == count || (complete && complete(buffer, got)))
            return got;
        if (total > 0 && Clock::now() >= deadline)
            return got;
        QCoreApplication::processEvents();
        if (!IsOpen() || !FReceiveThread)
            return -1;
        if (FReadAborts != aborts) {
            // PurgeReceive aborted this read.
            FPlatform->clearCommError();
            return -1;
        }
        FPlatform->waitReadable(1);
    }
}

void TCustomCommX::PurgeTrans()
{
    if (!IsOpen())
        return;
    constexpr quint32 flags = CommPurge::TxAbort | CommPurge::TxClear;
    if (!FTransThread) {
        FPlatform->purgeComm(flags);
        return;
    }
    FTransThread->FPurging = true;
    do {
        {
            std::lock_guard lock(FWriteLock);
            FPlatform->purgeComm(flags);
        }
        sleepMs(1);
    } while (PendingBytes() != 0);
    FTransThread->FPurging = false;
}

void TCustomCommX::PurgeReceive()
{
    if (!IsOpen())
        return;
    FPlatform->purgeComm(CommPurge::RxAbort | CommPurge::RxClear);
    ++FReadAborts;
}

void TCustomCommX::SetRts(bool Value)
{
    if (IsOpen())
        FPlatform->escapeCommFunction(Value ? CommEscape::SetRts : CommEscape::ClrRts);
}

void TCustomCommX::SetDtr(bool Value)
{
    if (IsOpen())
        FPlatform->escapeCommFunction(Value ? CommEscape::SetDtr : CommEscape::ClrDtr);
}

// Line settings. Each setting is applied on its own, by handing the whole
// record to the platform; the record keeps only what the platform took, so
// a setting the device refuses is reported once, by its own code, and does
// not make the settings after it fail too.
bool TCustomCommX::ApplyCommState(const std::function<void(CommLineSettings &)> &edit, int errorState)
{
    CommLineSettings next = FDcb;
    edit(next);
    if (!FPlatform->setCommState(next)) {
        ReportError(errorState);
        return false;
    }
    FDcb = next;
    return true;
}

void TCustomCommX::ApplyBitRate()
{
    const quint32 rate = quint32(std::max(0, FBitRate));
    if (ApplyCommState([rate](CommLineSettings &s) { s.BaudRate = rate; }, CommErrorCode::BitRate) && FTransThread)
        FTransThread->FCharTime = CharTimeFor(FBitRate);
}

void TCustomCommX::ApplyCharSize()
{
    // A size the record cannot hold is passed as 0, which no device takes.
    const quint8 size = (FCharSize > 0 && FCharSize < 256) ? quint8(FCharSize) : 0;
    ApplyCommState([size](CommLineSettings &s) { s.ByteSize = size; }, CommErrorCode::CharSize);
}

void TCustomCommX::ApplyParityBit()
{
    const quint8 parity = FParityBit;
    ApplyCommState([parity](CommLineSettings &s) { s.Parity = parity; }, CommErrorCode::ParityBit);
}

void TCustomCommX::ApplyStopBit()
{
    const quint8 stop = FStopBit;
    ApplyCommState([stop](CommLineSettings &s) { s.StopBits = stop; }, CommErrorCode::StopBit);
}

void TCustomCommX::ApplyFlowCtrl()
{
    const quint32 flags = FlagWordFor(FFlowCtrl);
    const quint16 limit = quint16(std::clamp(FBufLenReceive / 4, 0, 0xFFFF));
    ApplyCommState(
        [flags, limit](CommLineSettings &s) {
            s.Flags = flags;
            s.XonLim = limit;
            s.XoffLim = limit;
        },
        CommErrorCode::FlowCtrl);
}

void TCustomCommX::ApplyTimeOuts()
{
    CommTimeouts t;
    FPlatform->getCommTimeouts(t);
    t.ReadIntervalTimeout = 0;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = quint32(std::max(0, FTimeOutReceive));
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = quint32(std::max(0, FTimeOutTrans));
    if (!FPlatform->setCommTimeouts(t))
        ReportError(CommErrorCode::TimeOuts);
}

void TCustomCommX::ApplyXonChar()
{
    const char c = FXonChar;
    ApplyCommState([c](CommLineSettings &s) { s.XonChar = c; }, CommErrorCode::XonChar);
}

void TCustomCommX::ApplyXoffChar()
{
    const char c = FXoffChar;
    ApplyCommState([c](CommLineSettings &s) { s.XoffChar = c; }, CommErrorCode::XoffChar);
}

void TCustomCommX::ApplyQueueSizes()
{
    if (!FPlatform->setupComm(FBufLenReceive, FBufLenTrans))
        ReportError(CommErrorCode::SetupComm);
}

void TCustomCommX::setPortNo(int value)
{
    FPortNo = value;
    if (IsOpen()) {
        Close();
        Open();
    }
}

#define VANTREL_SETTER(Name, Type, Apply) \
    void TCustomCommX::set##Name(Type value) \
    { \
        F##Name = value; \
        if (IsOpen()) \
            Apply(); \
    }

VANTREL_SETTER(BitRate, int, ApplyBitRate)
VANTREL_SETTER(CharSize, int, ApplyCharSize)
VANTREL_SETTER(ParityBit, TCommParityBits, ApplyParityBit)
VANTREL_SETTER(StopBit, TCommStopBits, ApplyStopBit)
VANTREL_SETTER(FlowCtrl, TCommFlowCtrls, ApplyFlowCtrl)
VANTREL_SETTER(TimeOutTrans, int, ApplyTimeOuts)
VANTREL_SETTER(TimeOutReceive, int, ApplyTimeOuts)
VANTREL_SETTER(XonChar, char, ApplyXonChar)
VANTREL_SETTER(XoffChar, char, ApplyXoffChar)
VANTREL_SETTER(BufLenTrans, int, ApplyQueueSizes)

#undef VANTREL_SETTER

void TCustomCommX::setBufLenReceive(int value)
{
    FBufLenReceive = value;
    if (IsOpen()) {
        ApplyQueueSizes();
        ApplyFlowCtrl();
    }
}

bool TCommX::WriteString(const QByteArray &S)
{
    if (S.isEmpty())
        return true;
    return Write(S.constData(), int(S.size()));
}
