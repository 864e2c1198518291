#pragma once

#include <QString>

namespace report {

/// A printer in twips from the top-left corner of the printable page. It keeps the drawing
/// state (paper, font, current position, line width) and leaves the marks to an
/// implementation. Every line and text is black.
class Printer {
  public:
    /// The paper-size code of A4, the only paper the report uses; always portrait.
    static constexpr int kPaperA4 = 9;

    virtual ~Printer() = default;

    void setPaperSize(int code) { m_paperSize = code; }
    int paperSize() const { return m_paperSize; }
    void setFontName(const QString &name) { m_font.name = name; }
    /// Points.
    void setFontSize(double points) { m_font.points = points; }
    void setFontBold(bool bold) { m_font.bold = bold; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    /// A text whose top-left corner lies at the current position, which stays where it is.
    void print(const QString &text) { drawText(m_currentX, m_currentY, m_font, text); }
    /// Printer dots.
    void setDrawWidth(int dots) { m_drawWidth = dots < 1 ? 1 : dots; }
    int drawWidth() const { return m_drawWidth; }
    void line(double x1, double y1, double x2, double y2) { drawLine(x1, y1, x2, y2, m_drawWidth); }
    /// Sends what was drawn since the last end as one job (a page of its own).
    void endDoc() { endDocument(); }

    /// Whether the printer has failed; nothing more reaches it then.
    virtual bool failed() const { return false; }
    /// Ends the command's printing. Returns what the user must hear of it: where the report
    /// went when it did not go to a printer, or why it failed; nothing otherwise.
    virtual QString finish() { return {}; }

  protected:
    struct Font {
        QString name;
        double points = 0;
        bool bold = false;
        friend bool operator==(const Font &, const Font &) = default;
    };
    virtual void drawText(double x, double y, const Font &font, const QString &text) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, int widthDots) = 0;
    virtual void endDocument() = 0;

  private:
    int m_paperSize = kPaperA4;
    Font m_font{QStringLiteral("Arial"), 10, false};
    double m_currentX = 0;
    double m_currentY = 0;
    int m_drawWidth = 1;
};

} // namespace report
