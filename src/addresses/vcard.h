#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// vCard 2.1, 3.0 and 4.0 as plain data, with no notion of the address book.

enum class VCardCharset { Detect, Utf8, Windows1252 };

struct VCardParameter
{
    QString name; // upper case; a bare 2.1 value ("HOME") is filed under TYPE or ENCODING
    QStringList values;
};

struct VCardProperty
{
    QString group; // "item1" of "item1.TEL", else empty
    QString name;  // upper case
    QList<VCardParameter> parameters;
    // The value after its transfer encoding (quoted-printable, base64) was undone.
    QByteArray data;
    VCardCharset charset = VCardCharset::Detect;

    // Every value of the parameter, in order; names compare case-insensitively.
    QStringList parameter(QStringView name) const;
    bool hasParameter(QStringView name) const;
    // The TYPE values (also 4.0's PREF=1 as "pref"), lower case.
    QStringList types() const;
    bool hasType(QStringView type) const;

    // The value as text with its escapes still in place.
    QString rawText() const;
    // The value as one text, escapes resolved.
    QString text() const;
    // A structured value: split on unescaped ";" into components and each on unescaped "," into
    // its values, escapes resolved.
    QList<QStringList> components() const;
};

struct VCard
{
    QString version;   // "2.1", "3.0", "4.0" or what the card says; "2.1" when it says nothing
    int firstLine = 0; // of BEGIN:VCARD, counting from 1
    QList<VCardProperty> properties;
    // Set when the card cannot be read (a line that is no property, broken base64): why.
    QString problem;

    const VCardProperty* first(QStringView name) const;
    QList<const VCardProperty*> all(QStringView name) const;
};

// Limits against absurd input: memory and time stay proportional to these.
inline constexpr qsizetype kVCardMaxFileSize = 32 * 1024 * 1024;
inline constexpr qsizetype kVCardMaxLineSize = 4 * 1024 * 1024;
inline constexpr qsizetype kVCardMaxCardSize = 8 * 1024 * 1024;
inline constexpr qsizetype kVCardMaxProperties = 10000;
inline constexpr qsizetype kVCardMaxCards = 100000;

// Hands each card to the visitor as soon as it is read, so only one card is held at a time. Returns
// the reason the file is unusable (not vCard, truncated, nesting, unknown charset or encoding, too
// large), or an empty text. Cards already handed over before such an error must be discarded.
QString readVCards(const QByteArray& bytes, const std::function<void(VCard&&)>& visit);

// Resolves the escapes of a text value: "\\" "\," "\;" "\n" "\N".
QString unescapeVCardText(QStringView text);
// Escapes a text value for writing: backslash, comma, semicolon and line breaks.
QString escapeVCardText(QStringView text);

// Writes vCard 4.0 (RFC 6350): CRLF line ends, lines folded at 75 octets without splitting a
// UTF-8 sequence.
class VCardWriter
{
public:
    explicit VCardWriter(QIODevice& device);

    void beginCard();
    void endCard();
    // A property whose value is written as given (already escaped where it must be). Parameter
    // values are quoted when they must be.
    void addRaw(const QString& name, const QString& value,
                const QList<VCardParameter>& parameters = {});
    // A single text, escaped.
    void addText(const QString& name, const QString& text,
                 const QList<VCardParameter>& parameters = {});
    // A structured value: components joined by ";", each escaped.
    void addStructured(const QString& name, const QStringList& components,
                       const QList<VCardParameter>& parameters = {});

    // False once a write to the device failed.
    bool ok() const { return m_ok; }

    // One content line folded as written, CRLF included.
    static QByteArray foldedLine(const QByteArray& line);

private:
    void writeLine(const QByteArray& line);

    QIODevice& m_device;
    bool m_ok = true;
};
