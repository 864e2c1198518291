#include "recording_printer.h"

namespace report {

void RecordingPrinter::drawText(double x, double y, const Font &font, const QString &text) {
    const QString described = QStringLiteral("%1 %2%3").arg(
        font.name, QString::number(font.points), font.bold ? QStringLiteral(" bold") : QString());
    m_marks.append({PrintedMark::Kind::Text, x, y, 0, 0, 0, described, text, paperSize()});
}

void RecordingPrinter::drawLine(double x1, double y1, double x2, double y2, int widthDots) {
    m_marks.append({PrintedMark::Kind::Line, x1, y1, x2, y2, widthDots, {}, {}, paperSize()});
}

void RecordingPrinter::endDocument() {
    m_marks.append({PrintedMark::Kind::EndDoc, 0, 0, 0, 0, 0, {}, {}, paperSize()});
}

} // namespace report
