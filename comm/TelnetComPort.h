#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// The Telnet side of a serial line carried by a serial device server with
// the COM-port control option (RFC 2217): the bytes to send (data with 0xFF
// doubled, option negotiation, COM-port commands) and a decoder for what the
// server sends (data, its negotiation, which is answered, and its replies to
// our COM-port commands). No sockets here: the network port feeds it.
namespace Telnet {
constexpr quint8 SE = 240, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254, IAC = 255;
constexpr quint8 Binary = 0, Echo = 1, SuppressGoAhead = 3, ComPort = 44;
}

// Commands of the COM-port option; the server answers each with the same
// number plus 100 and the value it now uses.
namespace ComPortCommand {
constexpr quint8 SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5, PurgeData = 12;
constexpr quint8 ServerOffset = 100;
// SetControl values
constexpr quint8 FlowNone = 1, FlowXonXoff = 2, FlowHardware = 3, DtrOn = 8, DtrOff = 9, RtsOn = 11, RtsOff = 12;
// PurgeData values
constexpr quint8 PurgeReceive = 1, PurgeTransmit = 2, PurgeBoth = 3;
}

class TelnetComPort
{
public:
    struct Reply
    {
        quint8 command = 0; // as the server sent it (ours + 100)
        QByteArray value;
        bool operator==(const Reply &) const = default;
    };

    // What a client says first: binary both ways, and the COM-port option.
    QByteArray opening();
    static QByteArray escape(const char *data, int count);
    // IAC SB COM-PORT command value IAC SE, 0xFF in the value doubled.
    static QByteArray command(quint8 command, const QByteArray &value);
    static QByteArray baudRateValue(quint32 bitRate); // four bytes, network order
    // The option's codes for the line-settings record's values; 0 for a
    // value the option has no code for.
    static quint8 parityCode(quint8 parity);     // 0 none .. 4 space -> 1 .. 5
    static quint8 stopSizeCode(quint8 stopBits); // 0 one, 1 one and a half, 2 two -> 1, 3, 2

    // Takes bytes from the server: data is appended to data; the answers to
    // its negotiation wait in takeOutgoing, its replies in takeReplies.
    void feed(const char *bytes, int count, QByteArray &data);
    QByteArray takeOutgoing();
    QList<Reply> takeReplies();

    bool comPortAccepted() const { return m_local[Telnet::ComPort].on; }
    bool comPortRefused() const { return m_comPortRefused; }

private:
    struct Side
    {
        bool on = false;
        bool asked = false; // we asked for it and wait for the answer
    };
    static bool wanted(quint8 option);
    void negotiation(quint8 verb, quint8 option);
    void say(quint8 verb, quint8 option);

    enum class State { Data, Iac, Verb, Sub, SubIac };
    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    Side m_local[256];  // options we perform (WILL / WONT)
    Side m_remote[256]; // options the server performs (DO / DONT)
    bool m_comPortRefused = false;
    QByteArray m_outgoing;
    QList<Reply> m_replies;
};
