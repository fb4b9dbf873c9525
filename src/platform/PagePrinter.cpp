#include "PagePrinter.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include "TextFile.h"

namespace lapdeck {
namespace {

// The fonts of one document on one device: the system's text face in the design's
// sizes, condensed where the widest line would not fit the page.
class PageFonts {
public:
    explicit PageFonts(QPaintDevice& device)
        : m_device(device),
          m_family(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()) {}

    QFont font(int points) const {
        QFont f(m_family);
        f.setPointSizeF(points);
        f.setStretch(m_stretch);
        // Ligatures would turn "ffi" into one glyph that copied text does not read back as.
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    }
    QFontMetricsF metrics(int points) const { return QFontMetricsF(font(points), &m_device); }
    double columnX(int points, int column) const {
        return (column - 1) * metrics(points).averageCharWidth();
    }

    void fitWidth(const std::vector<PrintLine>& lines, double pageWidth) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            const double needed = widestLine(lines);
            if (needed <= pageWidth || m_stretch <= kNarrowest) {
                return;
            }
            m_stretch =
                std::max(kNarrowest, static_cast<int>(std::floor(m_stretch * pageWidth / needed)));
        }
    }

private:
    static constexpr int kNarrowest = 50;

    double widestLine(const std::vector<PrintLine>& lines) const {
        double widest = 0.0;
        for (const PrintLine& line : lines) {
            if (line.items.empty()) {
                continue;
            }
            const QFontMetricsF fm = metrics(line.points);
            for (const PrintItem& item : line.items) {
                widest = std::max(
                    widest, columnX(line.points, item.column) + fm.horizontalAdvance(item.text));
            }
        }
        return widest;
    }

    QPaintDevice& m_device;
    QString m_family;
    int m_stretch = 100;
};

double pictureSide(const QPaintDevice& device, const PrintModules& picture) {
    return picture.widthMm / 25.4 * device.logicalDpiX();
}

// Each module a block of pixels, so that no scaling blurs or seams the edges.
void drawPicture(QPainter& painter, const PrintModules& picture, const QRectF& target) {
    constexpr int kPixelsPerModule = 8;
    if (picture.dark.size() != static_cast<size_t>(picture.size) * picture.size) {
        return;
    }
    QImage image(picture.size * kPixelsPerModule, picture.size * kPixelsPerModule,
                 QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const size_t module =
                static_cast<size_t>(y / kPixelsPerModule * picture.size + x / kPixelsPerModule);
            if (picture.dark[module]) {
                image.setPixel(x, y, 1);
            }
        }
    }
    painter.drawImage(target, image);
}

// Draws the printout from the top of the first page; false when the device failed.
bool draw(QPagedPaintDevice& device, const Printout& printout) {
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    PageFonts fonts(device);
    fonts.fitWidth(printout.lines, page.width());
    const auto lineHeight = [&fonts, &device](const PrintLine& line) {
        return line.picture.size > 0 ? pictureSide(device, line.picture)
                                     : fonts.metrics(line.points).lineSpacing();
    };
    const std::vector<size_t> starts = pageStarts(printout.lines, page.height(), lineHeight);

    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    size_t nextPage = 1;
    double y = 0.0;
    for (size_t i = 0; i < printout.lines.size(); ++i) {
        if (nextPage < starts.size() && starts[nextPage] == i) {
            device.newPage();
            ++nextPage;
            y = 0.0;
        }
        const PrintLine& line = printout.lines[i];
        if (line.picture.size > 0) {
            const double side = pictureSide(device, line.picture);
            drawPicture(painter, line.picture, QRectF((page.width() - side) / 2, y, side, side));
            y += side;
            continue;
        }
        const QFontMetricsF fm = fonts.metrics(line.points);
        painter.setFont(fonts.font(line.points));
        for (size_t k = 0; k < line.items.size(); ++k) {
            const double x = fonts.columnX(line.points, line.items[k].column);
            // A text too long for its place is cut short rather than run into the next.
            const double end = k + 1 < line.items.size()
                                   ? fonts.columnX(line.points, line.items[k + 1].column) -
                                         fm.averageCharWidth() / 2
                                   : page.width();
            const QString text = fm.elidedText(line.items[k].text, Qt::ElideRight, end - x);
            painter.drawText(QPointF(x, y + fm.ascent()), text);
        }
        y += fm.lineSpacing();
    }
    return painter.end();
}

void setUp(QPagedPaintDevice& device, const Printout& printout) {
    device.setPageOrientation(printout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

}  // namespace

PagePrinter::Result PagePrinter::printOnDefault(const Printout& printout) {
    // Without a printer QPainter::begin() fails anyway; asking first says why.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        return {Outcome::NoPrinter, QStringLiteral("No printer is installed.")};
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printout.documentName);
    setUp(printer, printout);
    if (!draw(printer, printout)) {
        return {Outcome::Failed, QStringLiteral("The printer %1 did not accept the printout.")
                                     .arg(printer.printerName())};
    }
    return {};
}

std::optional<QString> PagePrinter::savePdf(const Printout& printout, const QString& fileName) {
    // Drawn in memory first, so the file goes through the one checked atomic writer:
    // a full disk keeps the old file and says why.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(printout.documentName);
        writer.setCreator(QStringLiteral("Lapdeck"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        setUp(writer, printout);
        if (!draw(writer, printout)) {
            return QStringLiteral("the PDF could not be drawn");
        }
    }
    pdf.close();
    return writeWholeFile(fileName, pdf.data());
}

}  // namespace lapdeck
