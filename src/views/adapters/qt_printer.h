#pragma once

#include "report/printer.h"

#include <QDateTime>
#include <QPainter>

#include <memory>

class QPrinter;

namespace views {

/// The system's default printer, with no dialog; each ended document is a job of its own.
/// With no default printer the command's pages go, one page per ended document, into a new
/// PDF file in the given directory, named after the time so that no report replaces another.
class QtPrinter final : public report::Printer {
  public:
    QtPrinter(QString pdfDirectory, QDateTime now);
    /// A PDF file named by the user, whatever printer there is.
    struct PdfFile {
        QString path;
    };
    explicit QtPrinter(PdfFile file);
    ~QtPrinter() override;

    bool failed() const override { return !m_failure.isEmpty(); }
    QString finish() override;

  protected:
    void drawText(double x, double y, const report::Printer::Font &font,
                  const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, int widthDots) override;
    void endDocument() override;

  private:
    /// The painter on the page being drawn, starting a job or a page when none is open; null
    /// once the printer has failed.
    QPainter *page();
    double toDevice(double twips) const;
    void fail(const QString &reason);

    QString m_pdfDirectory;
    QDateTime m_now;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QString m_pdfPath;
    bool m_pageOpen = false;
    QString m_failure;
};

} // namespace views
