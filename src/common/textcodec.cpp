#include "common/textcodec.h"

#include <QStringDecoder>

#include <array>

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kHighControls{
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

char cp1252Byte(QChar c, bool* ok)
{
    const char16_t u = c.unicode();
    *ok = true;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    }
    *ok = false;
    return 0;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
            text += QChar(kHighControls[byte - 0x80]);
        else
            text += QChar(char16_t(byte));
    }
    return text;
}

} // namespace

QString decodeText(const QByteArray& bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return fromWindows1252(bytes);
}

QByteArray encodeText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        bool ok = false;
        const char b = cp1252Byte(c, &ok);
        if (!ok)
            return text.toUtf8();
        out += b;
    }
    return out;
}

std::optional<QByteArray> withoutByteOrderMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return QString(decoder(QByteArrayView(bytes).sliced(2))).toUtf8();
    }
    return std::nullopt;
}

QByteArray utf8FromForeignText(const QByteArray& bytes)
{
    if (std::optional<QByteArray> unmarked = withoutByteOrderMark(bytes))
        return *std::move(unmarked);
    return decodeText(bytes).toUtf8();
}

QString ContentLines::note() const
{
    if (eightBitLines == 0)
        return {};
    using namespace Qt::StringLiterals;
    if (eightBitLines == 1) {
        return u"Zeile %1 ist kein gültiges UTF-8; als Windows-1252 gelesen"_s.arg(
                firstEightBitLine);
    }
    return u"%1 Zeilen sind kein gültiges UTF-8 (die erste ist Zeile %2); als Windows-1252 "
           u"gelesen"_s.arg(eightBitLines)
                   .arg(firstEightBitLine);
}

ContentLines unfoldedContentLines(QByteArrayView bytes)
{
    ContentLines result;
    result.utf8.reserve(bytes.size() + 2);
    QByteArray folded; // the line being joined, when it is folded
    QByteArrayView line;
    int number = 0;
    int lineStart = 0;
    const auto finish = [&] {
        if (lineStart == 0)
            return;
        const QByteArrayView whole = folded.isEmpty() ? line : QByteArrayView(folded);
        if (whole.isValidUtf8()) {
            result.utf8 += whole;
        } else {
            result.utf8 += fromWindows1252(whole).toUtf8();
            if (result.eightBitLines++ == 0)
                result.firstEightBitLine = lineStart;
        }
        result.utf8 += "\r\n";
        folded.clear();
    };
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArrayView physical = bytes.sliced(at, end - at);
        if (physical.endsWith('\r'))
            physical.chop(1);
        at = end + 1;
        ++number;
        if (lineStart != 0 && (physical.startsWith(' ') || physical.startsWith('\t'))) {
            if (folded.isEmpty())
                folded = line.toByteArray();
            folded += physical.sliced(1);
            continue;
        }
        finish();
        line = physical;
        lineStart = number;
    }
    finish();
    return result;
}

QStringList eightBitNotes(const QByteArray& bytes)
{
    const std::optional<QByteArray> unmarked = withoutByteOrderMark(bytes);
    const QString note =
            unfoldedContentLines(unmarked ? QByteArrayView(*unmarked) : QByteArrayView(bytes))
                    .note();
    return note.isEmpty() ? QStringList() : QStringList{note};
}
