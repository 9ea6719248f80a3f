#pragma once
// The commissioning report laid out by Qt for paper: the report's HTML with the memory map as a
// picture (the same SVG that the HTML holds inline, drawn once into an image), for the PDF file
// and for the printer.

#include <QString>
#include <memory>

#include "report/html_report.h"

class QTextDocument;
class QPagedPaintDevice;

struct PrintableReport {
    std::unique_ptr<QTextDocument> document;   // none when the report was refused
    QString error;                             // why, naming the command and the item
};

PrintableReport MakePrintableReport(const CDeviceConfig& root, ReportInputs inputs);

// Lays the document out on the device's pages and paints them.
void PrintReport(QTextDocument& document, QPagedPaintDevice& device);

// The document as a PDF file (Qt's own PDF writer, A4), written through the one replacement
// of files. False with the reason in *error.
bool WriteReportPdf(QTextDocument& document, const QString& path, QString* error);
