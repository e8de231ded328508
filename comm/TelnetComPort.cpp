#include "comm/TelnetComPort.h"

using namespace Telnet;

QByteArray TelnetComPort::opening()
{
    m_local[Binary].asked = true;
    m_remote[Binary].asked = true;
    m_local[ComPort].asked = true;
    say(WILL, Binary);
    say(DO, Binary);
    say(WILL, ComPort);
    return takeOutgoing();
}

QByteArray TelnetComPort::escape(const char *data, int count)
{
    QByteArray out;
    out.reserve(count + 4);
    for (int i = 0; i < count; ++i) {
        out.append(data[i]);
        if (quint8(data[i]) == IAC)
            out.append(char(IAC));
    }
    return out;
}

QByteArray TelnetComPort::command(quint8 command, const QByteArray &value)
{
    QByteArray out;
    out.append(char(IAC)).append(char(SB)).append(char(ComPort)).append(char(command));
    out.append(escape(value.constData(), int(value.size())));
    out.append(char(IAC)).append(char(SE));
    return out;
}

QByteArray TelnetComPort::baudRateValue(quint32 bitRate)
{
    QByteArray v(4, '\0');
    for (int i = 0; i < 4; ++i)
        v[i] = char((bitRate >> (24 - 8 * i)) & 0xFF);
    return v;
}

quint8 TelnetComPort::parityCode(quint8 parity) { return parity <= 4 ? quint8(parity + 1) : 0; }

quint8 TelnetComPort::stopSizeCode(quint8 stopBits)
{
    switch (stopBits) {
    case 0:
        return 1;
    case 1:
        return 3;
    case 2:
        return 2;
    default:
        return 0;
    }
}

bool TelnetComPort::wanted(quint8 option) { return option == Binary || option == SuppressGoAhead || option == ComPort; }

void TelnetComPort::say(quint8 verb, quint8 option)
{
    m_outgoing.append(char(IAC)).append(char(verb)).append(char(option));
}

// Answers only what changes a side's state, so that two programs never
// answer each other's answers without end.
void TelnetComPort::negotiation(quint8 verb, quint8 option)
{
    switch (verb) {
    case DO: {
        Side &s = m_local[option];
        const bool take = wanted(option);
        if (take && !s.on) {
            s.on = true;
            if (!s.asked)
                say(WILL, option);
        } else if (!take) {
            say(WONT, option);
        }
        s.asked = false;
        break;
    }
    case DONT: {
        Side &s = m_local[option];
        if (option == ComPort)
            m_comPortRefused = true;
        if (s.on)
            say(WONT, option);
        s.on = false;
        s.asked = false;
        break;
    }
    case WILL: {
        // The server's echo would send our own commands back: refused.
        Side &s = m_remote[option];
        const bool take = option == Binary || option == SuppressGoAhead;
        if (take && !s.on) {
            s.on = true;
            if (!s.asked)
                say(DO, option);
        } else if (!take && !s.on) {
            say(DONT, option);
        }
        s.asked = false;
        break;
    }
    case WONT: {
        Side &s = m_remote[option];
        if (s.on)
            say(DONT, option);
        s.on = false;
        s.asked = false;
        break;
    }
    default:
        break;
    }
}

void TelnetComPort::feed(const char *bytes, int count, QByteArray &data)
{
    for (int i = 0; i < count; ++i) {
        const quint8 c = quint8(bytes[i]);
        switch (m_state) {
        case State::Data:
            if (c == IAC)
                m_state = State::Iac;
            else
                data.append(char(c));
            break;
        case State::Iac:
            if (c == IAC) {
                data.append(char(IAC));
                m_state = State::Data;
            } else if (c >= WILL) {
                m_verb = c;
                m_state = State::Verb;
            } else if (c == SB) {
                m_sub.clear();
                m_state = State::Sub;
            } else {
                m_state = State::Data; // NOP, GA, and the like carry nothing for us
            }
            break;
        case State::Verb:
            negotiation(m_verb, c);
            m_state = State::Data;
            break;
        case State::Sub:
            if (c == IAC)
                m_state = State::SubIac;
            else if (m_sub.size() < 256)
                m_sub.append(char(c));
            break;
        case State::SubIac:
            if (c == IAC) {
                if (m_sub.size() < 256)
                    m_sub.append(char(IAC));
                m_state = State::Sub;
            } else {
                // SE, or a broken sequence: the sub-negotiation ends either way.
                if (m_sub.size() >= 2 && quint8(m_sub[0]) == ComPort)
                    m_replies.append({quint8(m_sub[1]), m_sub.mid(2)});
                m_state = State::Data;
            }
            break;
        }
    }
}

QByteArray TelnetComPort::takeOutgoing()
{
    QByteArray out;
    out.swap(m_outgoing);
    return out;
}

QList<TelnetComPort::Reply> TelnetComPort::takeReplies()
{
    QList<Reply> out;
    out.swap(m_replies);
    return out;
}
