#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// The simulator's end of the serial line: a pseudo-terminal (or a serial
// device) and a thread of its own that reads it, puts the bytes together
// into frames and hands each whole frame on. Answers go back after the
// response wait, at the line's pace, whole or in pieces with gaps. The line
// also plays its faults: a cut after so many frames, silence after so many.
// All methods may be called from any thread; answer() only from the handler.
class SimulatorLine
{
public:
    static constexpr int DefaultResponseWaitMs = 20;
    static constexpr int DefaultSplitGapMs = 30;
    // A frame whose next byte does not come within this time is dropped.
    static constexpr int FrameGapMs = 500;

    // What became of the line as a frame arrived.
    enum class Turn {
        Answer, // answer() sends what the frame gets back
        Silent, // the line takes the frame and answers nothing
        Cut,    // the line was cut as the frame arrived
    };
    // Called on the line's thread with every whole frame.
    using FrameHandler = std::function<void(const QByteArray &frame, Turn turn)>;

    explicit SimulatorLine(FrameHandler handler);
    ~SimulatorLine();
    SimulatorLine(const SimulatorLine &) = delete;
    SimulatorLine &operator=(const SimulatorLine &) = delete;

    // Opens a pseudo-terminal and starts reading; false and the reason on failure.
    bool start(QString *error);
    // Opens a serial device with the controller's line settings instead.
    bool startOnDevice(const QString &devicePath, QString *error);
    // Ends the thread, closes the devices and removes the link. Idempotent.
    void stop();
    // True while the thread reads (false before start, after stop and after a cut).
    bool isServing() const;

    QString slavePath() const;
    // Frames dropped because their rest did not come within FrameGapMs.
    qint64 droppedFrames() const;
    bool linkAs(int comNumber, const QString &portsDir, QString *error);
    QString linkPath() const;

    // Take effect from the next frame.
    void setSilent(bool silent);
    void setResponseWaitMs(int ms);
    void setPacing(bool paced);
    void setSplitAnswers(bool split, int gapMs);
    void setCutAfter(int frames);
    void setSilentAfter(int frames);

    // Sends the answer to the frame being handled, after the response wait;
    // false when it did not all go out (a stop, or the line failed).
    bool answer(const QByteArray &answer);

private:
    struct Settings
    {
        bool silent = false;
        int responseWaitMs = DefaultResponseWaitMs;
        bool paced = true;
        bool split = false;
        int splitGapMs = DefaultSplitGapMs;
        int cutAfter = 0;
        int silentAfter = 0;
    };

    FrameHandler m_handler;
    mutable std::mutex m_mutex; // guards m_settings, m_slavePath and m_linkPath
    Settings m_settings;
    QString m_slavePath;
    QString m_linkPath;

    int m_master = -1;
    int m_slave = -1;
    int m_wake = -1;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_serving{false};
    std::atomic<qint64> m_droppedFrames{0};
    std::thread m_thread;

    // Touched by the line's thread only.
    qint64 m_framesTaken = 0;
    Settings m_frameSettings; // as they were when the frame being handled arrived

    bool serve(const QString &path, QString *error);
    // Sets *error to "already started" when the line runs.
    bool alreadyStarted(QString *error) const;
    // A start that failed: *error gets the reason (with errno's text when
    // asked), every device opened so far is closed; returns false.
    bool refuse(QString *error, const QString &reason, bool withErrno);
    void run();
    void takeFrame(const QByteArray &frame);
    bool send(const QByteArray &answer);
    bool writeAll(const char *data, int size);
    bool pause(std::chrono::nanoseconds duration);
    void cut();
    void closeDevices();
    void removeLink();
};
