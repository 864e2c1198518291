#pragma once

#include "report/printer.h"

#include <QList>

namespace report {

/// One mark as the recording printer kept it; coordinates in twips.
struct PrintedMark {
    enum class Kind { Text, Line, EndDoc };
    Kind kind = Kind::Text;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int widthDots = 0; ///< lines
    QString font;      ///< texts: "name size" with " bold" when bold, as "Arial 24 bold"
    QString text;
    int paperSize = 0; ///< the paper at the time
    friend bool operator==(const PrintedMark &, const PrintedMark &) = default;
};

/// A printer that keeps every mark instead of printing it, for tests.
class RecordingPrinter final : public Printer {
  public:
    const QList<PrintedMark> &marks() const { return m_marks; }

  protected:
    void drawText(double x, double y, const Font &font, const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, int widthDots) override;
    void endDocument() override;

  private:
    QList<PrintedMark> m_marks;
};

} // namespace report
