#include "addresses/vcard.h"

#include "common/textcodec.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QStringDecoder>

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; the five holes keep the C1 control.
constexpr std::array<char16_t, 32> kHighControls{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        *out++ = byte >= 0x80 && byte < 0xA0 ? QChar(kHighControls[byte - 0x80])
                                             : QChar(char16_t(byte));
    }
    return text;
}

QString lineText(int line)
{
    return u"Zeile "_s + QString::number(line);
}

QString mebibytes(qsizetype bytes)
{
    return QString::number(bytes / (1024 * 1024)) + u" MiB"_s;
}

// Physical lines, LF or CRLF terminated, read one at a time.
class LineSource
{
public:
    explicit LineSource(QByteArrayView data)
        : m_data(data)
    {}
    bool atEnd() const { return m_pos >= m_data.size(); }
    int number() const { return m_number; }
    QByteArrayView peek() const { return line(m_pos, nullptr); }
    QByteArrayView take()
    {
        qsizetype next = 0;
        const QByteArrayView result = line(m_pos, &next);
        m_pos = next;
        ++m_number;
        return result;
    }

private:
    QByteArrayView line(qsizetype from, qsizetype* next) const
    {
        qsizetype end = m_data.indexOf('\n', from);
        if (end < 0)
            end = m_data.size();
        if (next)
            *next = end + 1;
        qsizetype stop = end;
        if (stop > from && m_data.at(stop - 1) == '\r')
            --stop;
        return m_data.sliced(from, stop - from);
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    int m_number = 0;
};

// Splits on the separator outside double quotes.
QList<QByteArrayView> splitOutsideQuotes(QByteArrayView text, char separator)
{
    QList<QByteArrayView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            parts << text.sliced(start, i - start);
            start = i + 1;
        }
    }
    parts << text.sliced(start);
    return parts;
}

// A parameter value: quotes removed and RFC 6868's ^^, ^n and ^' resolved.
QString parameterValue(QByteArrayView raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '"')
            continue;
        if (c == '^' && i + 1 < raw.size()) {
            const char n = raw.at(i + 1);
            if (n == '^' || n == 'n' || n == 'N' || n == '\'') {
                bytes += n == '^' ? '^' : n == '\'' ? '"' : '\n';
                ++i;
                continue;
            }
        }
        bytes += c;
    }
    return decodeText(bytes).trimmed();
}

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool isName(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isNameCharacter(c))
            return false;
    }
    return true;
}

// Where a bare 2.1 parameter value belongs.
QString bareParameterName(const QString& upper)
{
    if (upper == "QUOTED-PRINTABLE"_L1 || upper == "BASE64"_L1 || upper == "8BIT"_L1 ||
        upper == "7BIT"_L1 || upper == "B"_L1)
        return u"ENCODING"_s;
    if (upper == "INLINE"_L1 || upper == "URL"_L1 || upper == "CONTENT-ID"_L1 || upper == "CID"_L1)
        return u"VALUE"_s;
    return u"TYPE"_s;
}

struct Header
{
    QString group;
    QString name;
    QList<VCardParameter> parameters;
    bool valid = false;
};

Header parseHeader(QByteArrayView header)
{
    Header result;
    const QList<QByteArrayView> parts = splitOutsideQuotes(header, ';');
    QByteArrayView name = parts.first().trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
        if (!isName(name.first(dot)))
            return result;
        result.group = QString::fromLatin1(name.first(dot));
        name = name.sliced(dot + 1);
    }
    if (!isName(name))
        return result;
    result.name = QString::fromLatin1(name).toUpper();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArrayView part = parts.at(i).trimmed();
        if (part.isEmpty())
            continue;
        VCardParameter parameter;
        const qsizetype equals = part.indexOf('=');
        if (equals < 0) {
            const QString value = parameterValue(part);
            parameter.name = bareParameterName(value.toUpper());
            parameter.values << value;
        } else {
            if (!isName(part.first(equals).trimmed()))
                return result;
            parameter.name = QString::fromLatin1(part.first(equals).trimmed()).toUpper();
            for (QByteArrayView value : splitOutsideQuotes(part.sliced(equals + 1), ','))
                parameter.values << parameterValue(value);
        }
        result.parameters << parameter;
    }
    result.valid = true;
    return result;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray fromQuotedPrintable(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size()) {
            const int high = hexDigit(text.at(i + 1));
            const int low = hexDigit(text.at(i + 2));
            if (high >= 0 && low >= 0) {
                bytes += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        bytes += c;
    }
    return bytes;
}

std::optional<VCardCharset> charsetNamed(const QString& name)
{
    const QString upper = name.toUpper();
    if (upper.isEmpty() || upper == "US-ASCII"_L1 || upper == "ASCII"_L1)
        return VCardCharset::Detect;
    if (upper == "UTF-8"_L1 || upper == "UTF8"_L1)
        return VCardCharset::Utf8;
    // Files labelled Latin-1 are in practice Windows-1252, as browsers also read them.
    if (upper == "ISO-8859-1"_L1 || upper == "ISO8859-1"_L1 || upper == "ISO_8859-1"_L1 ||
        upper == "LATIN1"_L1 || upper == "LATIN-1"_L1 || upper == "WINDOWS-1252"_L1 ||
        upper == "CP1252"_L1 || upper == "CP-1252"_L1)
        return VCardCharset::Windows1252;
    return std::nullopt;
}

const VCardParameter* findParameter(const QList<VCardParameter>& parameters, QStringView name)
{
    for (const VCardParameter& parameter : parameters) {
        if (parameter.name.compare(name, Qt::CaseInsensitive) == 0)
            return &parameter;
    }
    return nullptr;
}

// A logical line: its physical lines unfolded, with the header (everything before the first ':'
// outside quotes) told apart from the value.
struct LogicalLine
{
    QByteArray text;
    int number = 0;
    qsizetype colon = -1;
    Header header;
};

class Reader
{
public:
    Reader(QByteArrayView data, const std::function<void(VCard&&)>& visit)
        : m_lines(data)
        , m_visit(visit)
    {}

    QString run();

private:
    // False with m_error set when the line grows past the limit.
    bool nextLogicalLine(LogicalLine& line);
    QString addProperty(const LogicalLine& line);

    LineSource m_lines;
    const std::function<void(VCard&&)>& m_visit;
    QString m_error;
    std::optional<VCard> m_card;
    qsizetype m_cardSize = 0;
    qsizetype m_cards = 0;
};

bool Reader::nextLogicalLine(LogicalLine& line)
{
    line.number = m_lines.number() + 1;
    line.text = m_lines.take().toByteArray();
    line.colon = -1;
    line.header = Header();
    qsizetype scanned = 0;
    bool quoted = false;
    bool quotedPrintable = false;
    for (;;) {
        if (line.text.size() > kVCardMaxLineSize) {
            m_error = lineText(line.number) + u" ist länger als "_s + mebibytes(kVCardMaxLineSize) +
                      u'.';
            return false;
        }
        if (line.colon < 0) {
            for (; scanned < line.text.size(); ++scanned) {
                const char c = line.text.at(scanned);
                if (c == '"')
                    quoted = !quoted;
                else if (c == ':' && !quoted) {
                    line.colon = scanned;
                    line.header = parseHeader(QByteArrayView(line.text).first(scanned));
                    const VCardParameter* encoding =
                            findParameter(line.header.parameters, u"ENCODING");
                    quotedPrintable =
                            encoding && encoding->values.value(0).compare("QUOTED-PRINTABLE"_L1,
                                                                          Qt::CaseInsensitive) == 0;
                    break;
                }
            }
        }
        if (m_lines.atEnd())
            return true;
        // A soft line break of quoted-printable: the next line goes on verbatim.
        if (quotedPrintable && line.text.endsWith('=')) {
            line.text.chop(1);
            line.text += m_lines.take();
            continue;
        }
        const QByteArrayView next = m_lines.peek();
        if (!next.isEmpty() && (next.front() == ' ' || next.front() == '\t')) {
            line.text += m_lines.take().sliced(1);
            continue;
        }
        return true;
    }
}

QString Reader::addProperty(const LogicalLine& line)
{
    VCard& card = *m_card;
    if (card.properties.size() >= kVCardMaxProperties)
        return u"Die vCard ab "_s + lineText(card.firstLine) + u" hat mehr als "_s +
               QString::number(kVCardMaxProperties) + u" Eigenschaften."_s;
    if (!card.problem.isEmpty())
        return {};
    if (line.colon < 0 || !line.header.valid) {
        card.problem = lineText(line.number) + u" ist keine vCard-Eigenschaft."_s;
        return {};
    }
    VCardProperty property;
    property.group = line.header.group;
    property.name = line.header.name;
    property.parameters = line.header.parameters;
    const QByteArrayView value = QByteArrayView(line.text).sliced(line.colon + 1);

    if (const VCardParameter* charset = findParameter(property.parameters, u"CHARSET")) {
        const std::optional<VCardCharset> known = charsetNamed(charset->values.value(0));
        if (!known)
            return lineText(line.number) + u": unbekannter Zeichensatz „"_s +
                   charset->values.value(0) + u"“."_s;
        property.charset = *known;
    }
    const VCardParameter* encoding = findParameter(property.parameters, u"ENCODING");
    const QString encodingName = encoding ? encoding->values.value(0).toUpper() : QString();
    if (encodingName.isEmpty() || encodingName == "8BIT"_L1 || encodingName == "7BIT"_L1) {
        property.data = value.toByteArray();
    } else if (encodingName == "QUOTED-PRINTABLE"_L1) {
        property.data = fromQuotedPrintable(value);
    } else if (encodingName == "BASE64"_L1 || encodingName == "B"_L1) {
        property.data = QByteArray::fromBase64(value.toByteArray());
    } else {
        return lineText(line.number) + u": unbekannte Kodierung „"_s + encoding->values.value(0) +
               u"“."_s;
    }
    if (property.name == "VERSION"_L1)
        card.version = property.rawText().trimmed();
    card.properties << std::move(property);
    return {};
}

QString Reader::run()
{
    bool sawContent = false;
    LogicalLine line;
    while (!m_lines.atEnd()) {
        if (!nextLogicalLine(line))
            return m_error;
        if (line.text.trimmed().isEmpty())
            continue;
        const QString name = line.header.valid ? line.header.name : QString();
        const bool begin = name == "BEGIN"_L1;
        const bool end = name == "END"_L1;
        const QString what =
                begin || end ? QString::fromUtf8(QByteArrayView(line.text).sliced(line.colon + 1))
                                       .trimmed()
                                       .toUpper()
                             : QString();
        if (!m_card) {
            if (begin && what == "VCARD"_L1) {
                if (++m_cards > kVCardMaxCards)
                    return u"Die Datei enthält mehr als "_s + QString::number(kVCardMaxCards) +
                           u" vCards."_s;
                m_card.emplace();
                m_card->version = u"2.1"_s;
                m_card->firstLine = line.number;
                m_cardSize = 0;
                sawContent = true;
                continue;
            }
            if (!sawContent)
                return u"Die Datei ist keine vCard-Datei (sie beginnt nicht mit BEGIN:VCARD)."_s;
            return lineText(line.number) + u" steht außerhalb einer vCard."_s;
        }
        m_cardSize += line.text.size();
        if (m_cardSize > kVCardMaxCardSize)
            return u"Die vCard ab "_s + lineText(m_card->firstLine) + u" ist größer als "_s +
                   mebibytes(kVCardMaxCardSize) + u'.';
        if (begin)
            return lineText(line.number) + u": BEGIN:"_s + what + u" innerhalb der vCard ab "_s +
                   lineText(m_card->firstLine) + u'.';
        if (end) {
            if (what != "VCARD"_L1)
                return lineText(line.number) + u": END:"_s + what +
                       u" passt nicht zu BEGIN:VCARD in "_s + lineText(m_card->firstLine) + u'.';
            m_visit(std::move(*m_card));
            m_card.reset();
            continue;
        }
        if (QString error = addProperty(line); !error.isEmpty())
            return error;
    }
    if (m_card)
        return u"Die Datei endet mitten in einer vCard: zu BEGIN:VCARD in "_s +
               lineText(m_card->firstLine) + u" fehlt END:VCARD."_s;
    if (!sawContent)
        return u"Die Datei enthält keine vCard."_s;
    return {};
}

} // namespace

QStringList VCardProperty::parameter(QStringView parameterName) const
{
    QStringList values;
    for (const VCardParameter& p : parameters) {
        if (p.name.compare(parameterName, Qt::CaseInsensitive) == 0)
            values << p.values;
    }
    return values;
}

bool VCardProperty::hasParameter(QStringView parameterName) const
{
    return findParameter(parameters, parameterName) != nullptr;
}

QStringList VCardProperty::types() const
{
    QStringList result;
    for (const QString& value : parameter(u"TYPE")) {
        for (const QString& type : value.split(u',', Qt::SkipEmptyParts))
            result << type.trimmed().toLower();
    }
    if (hasParameter(u"PREF"))
        result << u"pref"_s;
    return result;
}

bool VCardProperty::hasType(QStringView type) const
{
    return types().contains(type.toString().toLower());
}

QString VCardProperty::rawText() const
{
    switch (charset) {
    case VCardCharset::Windows1252:
        return fromWindows1252(data);
    case VCardCharset::Utf8:
    case VCardCharset::Detect:
        break;
    }
    // Undeclared or mislabelled bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(data);
    if (decoder.hasError())
        return fromWindows1252(data);
    return text;
}

QString VCardProperty::text() const
{
    return unescapeVCardText(rawText());
}

QList<QStringList> VCardProperty::components() const
{
    const QString raw = rawText();
    QList<QStringList> result{QStringList()};
    qsizetype start = 0;
    auto closeValue = [&](qsizetype endAt) {
        result.last() << unescapeVCardText(QStringView(raw).sliced(start, endAt - start));
        start = endAt + 1;
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\') {
            ++i;
        } else if (c == u',') {
            closeValue(i);
        } else if (c == u';') {
            closeValue(i);
            result << QStringList();
        }
    }
    closeValue(raw.size());
    return result;
}

const VCardProperty* VCard::first(QStringView propertyName) const
{
    for (const VCardProperty& property : properties) {
        if (property.name == propertyName)
            return &property;
    }
    return nullptr;
}

QList<const VCardProperty*> VCard::all(QStringView propertyName) const
{
    QList<const VCardProperty*> result;
    for (const VCardProperty& property : properties) {
        if (property.name == propertyName)
            result << &property;
    }
    return result;
}

QString readVCards(const QByteArray& bytes, const std::function<void(VCard&&)>& visit)
{
    if (bytes.size() > kVCardMaxFileSize)
        return u"Die Datei ist größer als "_s + mebibytes(kVCardMaxFileSize) + u'.';
    const std::optional<QByteArray> unmarked = withoutByteOrderMark(bytes);
    Reader reader(unmarked ? QByteArrayView(*unmarked) : QByteArrayView(bytes), visit);
    return reader.run();
}

QString unescapeVCardText(QStringView text)
{
    if (!text.contains(u'\\'))
        return text.toString();
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            result += c;
            continue;
        }
        const QChar n = text.at(++i);
        if (n == u'n' || n == u'N')
            result += u'\n';
        else if (n == u'\\' || n == u',' || n == u';' || n == u':')
            result += n;
        else // not an escape: a path like C:\temp stays as it is
            result.append(c).append(n);
    }
    return result;
}

QString escapeVCardText(QStringView text)
{
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u',' || c == u';') {
            result += u'\\';
            result += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += "\\n"_L1;
        } else if (c == u'\n') {
            result += "\\n"_L1;
        } else {
            result += c;
        }
    }
    return result;
}

VCardWriter::VCardWriter(QIODevice& device)
    : m_device(device)
{}

void VCardWriter::beginCard()
{
    writeLine("BEGIN:VCARD");
    writeLine("VERSION:4.0");
}

void VCardWriter::endCard()
{
    writeLine("END:VCARD");
}

namespace {

QString quotedParameterValue(const QString& value)
{
    bool needsQuotes = false;
    QString escaped;
    for (QChar c : value) {
        if (c == u'^')
            escaped += "^^"_L1;
        else if (c == u'"')
            escaped += "^'"_L1;
        else if (c == u'\n')
            escaped += "^n"_L1;
        else if (c == u'\r')
            continue;
        else
            escaped += c;
        if (c == u',' || c == u';' || c == u':' || c == u'"' || c == u' ')
            needsQuotes = true;
    }
    return needsQuotes ? u'"' + escaped + u'"' : escaped;
}

} // namespace

void VCardWriter::addRaw(const QString& name, const QString& value,
                         const QList<VCardParameter>& parameters)
{
    QString line = name;
    for (const VCardParameter& parameter : parameters) {
        line += u';' + parameter.name + u'=';
        for (qsizetype i = 0; i < parameter.values.size(); ++i) {
            if (i > 0)
                line += u',';
            line += quotedParameterValue(parameter.values.at(i));
        }
    }
    line += u':' + value;
    writeLine(line.toUtf8());
}

void VCardWriter::addText(const QString& name, const QString& text,
                          const QList<VCardParameter>& parameters)
{
    addRaw(name, escapeVCardText(text), parameters);
}

void VCardWriter::addStructured(const QString& name, const QStringList& components,
                                const QList<VCardParameter>& parameters)
{
    QStringList escaped;
    escaped.reserve(components.size());
    for (const QString& component : components)
        escaped << escapeVCardText(component);
    addRaw(name, escaped.join(u';'), parameters);
}

QByteArray VCardWriter::foldedLine(const QByteArray& line)
{
    constexpr qsizetype kOctets = 75;
    QByteArray out;
    out.reserve(line.size() + line.size() / 70 * 3 + 2);
    qsizetype pos = 0;
    bool firstLine = true;
    while (line.size() - pos > (firstLine ? kOctets : kOctets - 1)) {
        qsizetype end = pos + (firstLine ? kOctets : kOctets - 1);
        // Never cut between the bytes of one UTF-8 sequence.
        while (end > pos + 1 && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
            --end;
        if (!firstLine)
            out += ' ';
        out += QByteArrayView(line).sliced(pos, end - pos);
        out += "\r\n";
        pos = end;
        firstLine = false;
    }
    if (!firstLine)
        out += ' ';
    out += QByteArrayView(line).sliced(pos);
    out += "\r\n";
    return out;
}

void VCardWriter::writeLine(const QByteArray& line)
{
    if (!m_ok)
        return;
    const QByteArray folded = foldedLine(line);
    if (m_device.write(folded) != folded.size())
        m_ok = false;
}
