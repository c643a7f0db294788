#pragma once

#include <QString>
#include <QStringView>

// Every text value reaches SQL through these helpers, so no typed character can break a statement.

// The text as an SQL string literal: in single quotes, every quote inside doubled.
QString sqlQuote(QStringView text);

// A LIKE operand that finds the text anywhere, taken literally: '%text%' ESCAPE '\', with '%', '_'
// and '\' in the text escaped.
QString sqlLikeContains(QStringView text);

// What `text LIKE sqlLikeContains(part)` gives in SQLite, without asking it: the part anywhere in
// the text, letters A to Z in either case, every other character only as it is.
bool likeContains(QStringView text, QStringView part);

// Apostrophes typed by the user are stored as grave accents.
QString replaceApostrophes(QString text);
