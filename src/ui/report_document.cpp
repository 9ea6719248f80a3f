#include "ui/report_document.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QUrl>

#include "file/replacement_file.h"
#include "mapping/memory_map_svg.h"
#include "model/device_config.h"
#include "ui/ui_text.h"

namespace {

// The name under which the document holds the memory map's picture.
const QString kMapImage = QStringLiteral("memory-map.png");

// The memory map's SVG drawn at twice its size, so that it stays sharp on paper.
QImage MemoryMapPicture(const CDeviceConfig& root)
{
    QSvgRenderer renderer(QByteArray::fromStdString(gw::RenderMemoryMapSvg(root.Subnet())));
    QImage image(renderer.defaultSize() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

PrintableReport MakePrintableReport(const CDeviceConfig& root, ReportInputs inputs)
{
    PrintableReport printable;
    inputs.memoryMapImage = ToUtf8(kMapImage);
    const ReportResult report = gw::BuildHtmlReport(root, inputs);
    if (report.code != RESULT_OK) {
        printable.error = FromUtf8(report.message);
        return printable;
    }
    printable.document = std::make_unique<QTextDocument>();
    printable.document->addResource(QTextDocument::ImageResource, QUrl(kMapImage), MemoryMapPicture(root));
    printable.document->setHtml(FromUtf8(report.html));
    return printable;
}

void PrintReport(QTextDocument& document, QPagedPaintDevice& device)
{
    document.print(&device);
}

bool WriteReportPdf(QTextDocument& document, const QString& path, QString* error)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);   // the command table is wide
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(QStringLiteral("gateway-workbench"));
        PrintReport(document, writer);
    }
    if (const Outcome written =
            gw::ReplaceFileContents(ToUtf8(path), std::string_view(pdf.data().constData(), static_cast<std::size_t>(pdf.size())));
        !written) {
        *error = FromUtf8(written.message);
        return false;
    }
    return true;
}
