#include "sim/FrameAssembler.h"

#include "comm/protocol/FrameBytes.h"

bool FrameAssembler::feed(char byte)
{
    switch (m_state) {
    case State::Idle:
        if (byte == FrameBytes::STX) {
            m_frame = QByteArray(1, byte);
            m_state = State::Body;
        }
        return false;
    case State::Body:
        if (byte == FrameBytes::STX) {
            m_frame = QByteArray(1, byte);
            return false;
        }
        m_frame += byte;
        if (byte == FrameBytes::ETX)
            m_state = State::CheckByte;
        return false;
    case State::CheckByte:
        m_frame += byte;
        m_complete = m_frame;
        discard();
        return true;
    }
    return false;
}

QByteArray FrameAssembler::takeFrame()
{
    QByteArray frame = m_complete;
    m_complete.clear();
    return frame;
}

void FrameAssembler::discard()
{
    m_frame.clear();
    m_state = State::Idle;
}
