#include "files/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor, closed when it goes out of scope. Each
// thread keeps one per direction (see encoder() and decoder()), as opening a
// descriptor costs far more than a short conversion.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts input[*consumed..] into `output`, appending, until the input
    // ends or a sequence cannot be converted. Returns false in the latter
    // case, with *consumed at the start of that sequence.
    bool convert(const QByteArray &input, qsizetype *consumed, QByteArray *output)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        char *in = const_cast<char *>(input.constData()) + *consumed;
        size_t inLeft = static_cast<size_t>(input.size() - *consumed);
        bool ok = true;
        while (inLeft > 0) {
            char buffer[1024];
            char *out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            output->append(buffer, static_cast<qsizetype>(out - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        *consumed = input.size() - static_cast<qsizetype>(inLeft);
        return ok;
    }

private:
    iconv_t m_cd;
};

Converter &encoder()
{
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

Converter &decoder()
{
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

// Decodes from the position *consumed; see Converter::convert.
bool decodeFrom(Converter &converter, const QByteArray &bytes, qsizetype *consumed, QString *text)
{
    QByteArray utf8;
    const bool ok = converter.convert(bytes, consumed, &utf8);
    text->append(QString::fromUtf8(utf8));
    return ok;
}

qsizetype firstUnpairedSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return i;
    }
    return -1;
}

} // namespace

namespace Cp932 {

EncodeResult encode(const QString &text)
{
    EncodeResult result;
    auto failAt = [&result](qsizetype index) {
        result.ok = false;
        result.badIndex = index;
        result.bytes.clear();
        return result;
    };

    const qsizetype unpaired = firstUnpairedSurrogate(text);
    if (unpaired >= 0)
        return failAt(unpaired);

    Converter &converter = encoder();
    if (!converter.valid())
        return failAt(0);

    qsizetype consumed = 0;
    if (converter.convert(text.toUtf8(), &consumed, &result.bytes) && decode(result.bytes) == text)
        return result;

    // Find the character at fault, one character at a time.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        QByteArray encoded;
        qsizetype used = 0;
        if (!converter.convert(character.toUtf8(), &used, &encoded) || decode(encoded) != character)
            return failAt(i);
        i += length;
    }
    // Not reached: the code page keeps no state between characters, so a
    // text whose every character comes back whole comes back whole itself.
    return failAt(0);
}

std::optional<QString> decode(const QByteArray &bytes)
{
    Converter &converter = decoder();
    if (!converter.valid())
        return std::nullopt;
    // The code page keeps ASCII as it is, and most program files hold
    // nothing else: those need no conversion.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString text;
    qsizetype consumed = 0;
    if (!decodeFrom(converter, bytes, &consumed, &text))
        return std::nullopt;
    return text;
}

QString decodeLossy(const QByteArray &bytes)
{
    Converter &converter = decoder();
    if (!converter.valid())
        return QString(bytes.size(), QChar::ReplacementCharacter);
    QString text;
    qsizetype consumed = 0;
    while (!decodeFrom(converter, bytes, &consumed, &text)) {
        text.append(QChar::ReplacementCharacter);
        ++consumed; // the code page keeps no shift state, so go on after the bad byte
    }
    return text;
}

} // namespace Cp932
