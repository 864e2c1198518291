#pragma once

#include <QByteArray>

class QTextDocument;

namespace help {

/// Reads the rich text a word processor writes into a text document: paragraphs with their
/// alignment, bold, italic, underline, font sizes and colours, special and Unicode
/// characters. Font tables, style sheets, pictures, objects and unknown control words are
/// skipped; any input gives a document, never a failure.
void readRtf(QByteArrayView rtf, QTextDocument &document);

} // namespace help
