#pragma once

#include <QByteArray>

// Cuts a byte stream into frames: STX, anything up to ETX, then one check byte.
// Bytes outside a frame are ignored; a new STX inside a frame starts over.
class FrameAssembler
{
public:
    // Feeds one byte; returns true when it completed a frame, which takeFrame() returns.
    bool feed(char byte);
    QByteArray takeFrame();
    bool inFrame() const { return m_state != State::Idle; }
    void discard();

private:
    enum class State { Idle, Body, CheckByte };
    State m_state = State::Idle;
    QByteArray m_frame;
    QByteArray m_complete;
};
