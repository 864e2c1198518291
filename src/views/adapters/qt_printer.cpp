#include "views/adapters/qt_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>

namespace views {

namespace {

constexpr double kTwipsPerInch = 1440;
/// A PDF is drawn in the dots of a common office printer, so line widths look as on paper.
constexpr int kPdfDotsPerInch = 600;

QString pdfPathIn(const QString &directory, const QDateTime &now) {
    const QString stem = QDir(directory).filePath(
        QStringLiteral("report-") + now.toString(QStringLiteral("yyyy-MM-dd-hhmmss")));
    QString path = stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1.pdf").arg(n);
    return path;
}

} // namespace

QtPrinter::QtPrinter(QString pdfDirectory, QDateTime now)
    : m_pdfDirectory(std::move(pdfDirectory)), m_now(std::move(now)) {}

QtPrinter::QtPrinter(PdfFile file) : m_pdfPath(std::move(file.path)) {}

QtPrinter::~QtPrinter() {
    if (m_painter.isActive())
        m_painter.end();
}

QPainter *QtPrinter::page() {
    if (failed())
        return nullptr;
    if (m_pageOpen)
        return &m_painter;
    if (!m_printer) {
        const QPrinterInfo chosen =
            m_pdfPath.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (chosen.isNull()) {
            if (m_pdfPath.isEmpty())
                m_pdfPath = pdfPathIn(m_pdfDirectory, m_now);
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(m_pdfPath);
            m_printer->setResolution(kPdfDotsPerInch);
        } else {
            m_printer->setPrinterName(chosen.printerName());
        }
        m_printer->setDocName(QStringLiteral("Vadarazozaz Uvovir Report"));
    }
    // The report is A4 portrait, the only paper it asks for.
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    if (m_painter.isActive()) {
        // A PDF keeps every job of the command as a page of one file.
        if (!m_printer->newPage()) {
            fail(QStringLiteral("a new page could not be started"));
            return nullptr;
        }
    } else if (!m_painter.begin(m_printer.get())) {
        fail(m_pdfPath.isEmpty() ? QStringLiteral("the printer did not take the job")
                                 : QStringLiteral("the file could not be written"));
        return nullptr;
    }
    m_pageOpen = true;
    return &m_painter;
}

double QtPrinter::toDevice(double twips) const {
    return twips * m_printer->resolution() / kTwipsPerInch;
}

void QtPrinter::drawText(double x, double y, const report::Printer::Font &font,
                         const QString &text) {
    QPainter *painter = page();
    if (!painter)
        return;
    QFont face(font.name);
    face.setPointSizeF(font.points); // the painter is not scaled, so points stay points
    face.setBold(font.bold);
    painter->setFont(face);
    painter->setPen(Qt::black);
    const double ascent = QFontMetricsF(face, m_printer.get()).ascent();
    painter->drawText(QPointF(toDevice(x), toDevice(y) + ascent), text);
}

void QtPrinter::drawLine(double x1, double y1, double x2, double y2, int widthDots) {
    QPainter *painter = page();
    if (!painter)
        return;
    painter->setPen(QPen(Qt::black, widthDots, Qt::SolidLine, Qt::RoundCap));
    painter->drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
}

void QtPrinter::endDocument() {
    // Nothing drawn since the last end: there is no page to send.
    if (!m_pageOpen)
        return;
    m_pageOpen = false;
    if (!m_pdfPath.isEmpty())
        return;
    m_painter.end();
    if (m_printer->printerState() == QPrinter::Error ||
        m_printer->printerState() == QPrinter::Aborted)
        fail(QStringLiteral("the job was refused"));
}

QString QtPrinter::finish() {
    if (m_painter.isActive())
        m_painter.end();
    if (failed())
        return m_pdfPath.isEmpty()
                   ? QStringLiteral("The report could not be printed on %1: %2.")
                         .arg(m_printer ? m_printer->printerName() : QString(), m_failure)
                   : QStringLiteral("The report could not be written to %1: %2.")
                         .arg(QDir::toNativeSeparators(m_pdfPath), m_failure);
    if (!m_pdfPath.isEmpty() && QFileInfo::exists(m_pdfPath))
        return QStringLiteral("There is no printer: the report has been written to %1.")
            .arg(QDir::toNativeSeparators(m_pdfPath));
    return {};
}

void QtPrinter::fail(const QString &reason) {
    if (m_failure.isEmpty())
        m_failure = reason;
}

} // namespace views
