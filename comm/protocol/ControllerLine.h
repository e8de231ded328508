#pragma once

#include <QString>
#include <QtGlobal>

// The controller's serial line: 38400 bit/s, 7 data bits, even parity, 2 stop
// bits, no flow control (no RTS/CTS, DTR/DSR or XON/XOFF). The editor's and
// the command-line tool's port and the controller simulator take it from here.
namespace ControllerLine {

inline constexpr int BitRate = 38400;
inline constexpr int DataBits = 7;
// Ordinals as the serial component's line settings take them.
enum class Parity : quint8 { None = 0, Odd = 1, Even = 2 };
inline constexpr Parity LineParity = Parity::Even;
inline constexpr int StopBits = 2;
// The stop bits as the serial component's line settings code them: 0 one,
// 2 two.
inline constexpr quint8 StopBitsCode = StopBits == 2 ? 2 : 0;

// Bits on the wire per character: the start bit, the data bits, the parity
// bit and the stop bits.
inline constexpr int BitsPerCharacter = 1 + DataBits + (LineParity == Parity::None ? 0 : 1) + StopBits;

// How long a write or a read of an exchange may take, in milliseconds.
inline constexpr int TimeOutMs = 1000;

inline QString parityWord()
{
    switch (LineParity) {
    case Parity::None:
        return QStringLiteral("no");
    case Parity::Odd:
        return QStringLiteral("odd");
    case Parity::Even:
        return QStringLiteral("even");
    }
    return {};
}

// "38400 bit/s, 7 data bits, even parity, 2 stop bits"
inline QString description()
{
    return QStringLiteral("%1 bit/s, %2 data bits, %3 parity, %4 stop bits")
        .arg(BitRate)
        .arg(DataBits)
        .arg(parityWord())
        .arg(StopBits);
}

// "38400 bit/s 7E2"
inline QString shortDescription()
{
    return QStringLiteral("%1 bit/s %2%3%4").arg(BitRate).arg(DataBits).arg(parityWord().at(0).toUpper()).arg(StopBits);
}

} // namespace ControllerLine
