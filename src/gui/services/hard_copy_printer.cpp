#include "gui/services/hard_copy_printer.h"

#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "gui/services/message_box.h"
#include "gui/services/test_mode.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/qt_text.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

namespace kestrana::gui::services {

using kestrana::platform::HardCopyScript;
using kestrana::platform::PrintFont;
using kestrana::platform::PrintOp;

namespace {

constexpr double kTwipsPerInch = 1440.0;
// A picture's natural size: the screen's 96 pixels to the inch.
constexpr double kTwipsPerScreenPixel = 15.0;
// Where a listing goes on after a page break, and how far above the paper's lower edge lines stop.
constexpr double kNewPageTopTwips = 720.0;
constexpr double kFootMarginTwips = 720.0;
// The PDF's resolution: fine enough that twips land within a fraction of a point.
constexpr int kPdfDotsPerInch = 600;

std::vector<PrintJob>& record() {
    static std::vector<PrintJob> jobs;
    return jobs;
}

// The printer's face: a sans whose blank is half a digit wide, the proportions the listings' blank
// padding was laid out for; or a fixed-pitch face for a table whose columns are laid out with blanks
// at one character each.
QFont qtFont(const PrintFont& font, bool fixedPitch) {
    QFont qt = fixedPitch ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                          : widgets::designFont(QStringLiteral("Arial"), font.size);
    qt.setPointSizeF(font.size);
    qt.setBold(font.bold);
    qt.setItalic(font.italic);
    qt.setUnderline(font.underline);
    return qt;
}

int roundTwips(double twips) {
    return static_cast<int>(std::lround(twips));
}

// A picture, or a line with more than blanks on it.
bool putsInk(const PrintOp& op) {
    if (op.kind == PrintOp::Kind::Picture)
        return true;
    return op.kind == PrintOp::Kind::Line && op.text.find_first_not_of(' ') != std::string::npos;
}

// The paper one document is drawn on.
class Destination {
public:
    virtual ~Destination() = default;
    virtual QPagedPaintDevice* device() = 0;
    // Called after the painter has ended; false with a reason when the document did not get out.
    virtual bool finish(QString& error) = 0;
};

class PrinterDestination : public Destination {
public:
    PrinterDestination(const QPrinterInfo& info, const PrintOptions& options)
        : printer_(info, QPrinter::HighResolution) {
        printer_.setFullPage(true);
        printer_.setDocName(options.documentName);
        printer_.setPageOrientation(options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    QPagedPaintDevice* device() override { return &printer_; }
    bool finish(QString& error) override {
        if (printer_.printerState() == QPrinter::Error) {
            error = QStringLiteral("the printer reported an error");
            return false;
        }
        return true;
    }

private:
    QPrinter printer_;
};

class PdfDestination : public Destination {
public:
    PdfDestination(QString path, const PrintOptions& options) : path_(std::move(path)) {
        buffer_.open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(&buffer_);
        writer_->setResolution(kPdfDotsPerInch);
        writer_->setPageSize(QPageSize(QPageSize::A4));
        writer_->setPageOrientation(options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
        writer_->setTitle(options.documentName);
        writer_->setCreator(QStringLiteral("Kestrana"));
    }
    QPagedPaintDevice* device() override { return writer_.get(); }
    bool finish(QString& error) override {
        try {
            const QByteArray& bytes = buffer_.data();
            kestrana::platform::writeFileAtomically(widgets::toPath(path_),
                                                    std::string_view(bytes.constData(), bytes.size()));
        } catch (const kestrana::platform::KestranaError& failure) {
            error = widgets::fromCore(failure.reason());
            return false;
        }
        return true;
    }

private:
    QString path_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
};

// Draws the ops of one document and records what landed where.
bool drawDocument(std::span<const PrintOp> ops, const QPixmap& picture, QPagedPaintDevice* device,
                  PrintJob& job, QString& error) {
    QPainter painter;
    if (!painter.begin(device)) {
        error = QStringLiteral("the printer could not be started");
        return false;
    }
    const double unitsX = device->logicalDpiX() / kTwipsPerInch;
    const double unitsY = device->logicalDpiY() / kTwipsPerInch;
    const double pageWidth = device->width() / unitsX;
    const double pageHeight = device->height() / unitsY;
    const double foot = pageHeight - kFootMarginTwips;

    double x = 0.0;
    double y = 0.0;
    PrintFont font;
    int page = 1;
    bool pageHasInk = false;
    // A page break is only carried out when something visible follows, so blank lines past the foot
    // never leave an empty page behind.
    bool breakPending = false;
    auto beginInk = [&] {
        if (breakPending) {
            device->newPage();
            ++page;
            breakPending = false;
            pageHasInk = false;
        }
        pageHasInk = true;
    };

    for (const PrintOp& op : ops) {
        switch (op.kind) {
        case PrintOp::Kind::SetX:
            x = op.value;
            break;
        case PrintOp::Kind::SetY:
            y = op.value;
            break;
        case PrintOp::Kind::SetFont:
            font = op.font;
            break;
        case PrintOp::Kind::Line: {
            const QFont qt = qtFont(font, job.fixedPitch);
            const QFontMetricsF metrics(qt, device);
            const double lineHeight = metrics.lineSpacing() / unitsY;
            if (y + lineHeight > foot && y > kNewPageTopTwips) {
                if (pageHasInk || breakPending)
                    breakPending = true;
                y = kNewPageTopTwips;
            }
            // Blanks are drawn only where they carry an underline.
            if (putsInk(op) || (font.underline && !op.text.empty())) {
                beginInk();
                painter.setFont(qt);
                painter.drawText(QPointF(x * unitsX, y * unitsY + metrics.ascent()),
                                 widgets::fromCore(op.text));
            }
            job.lines.push_back({op.text, roundTwips(x), roundTwips(y), font, page + (breakPending ? 1 : 0)});
            y += lineHeight;
            x = 0.0;
            break;
        }
        case PrintOp::Kind::Picture: {
            const double ratio = picture.devicePixelRatio();
            double width = picture.width() / ratio * kTwipsPerScreenPixel;
            double height = picture.height() / ratio * kTwipsPerScreenPixel;
            const double roomX = pageWidth - op.x;
            const double roomY = pageHeight - op.y;
            if ((width > roomX || height > roomY) && roomX > 0 && roomY > 0) {
                const double shrink = std::min(roomX / width, roomY / height);
                width *= shrink;
                height *= shrink;
            }
            beginInk();
            painter.drawPixmap(QRectF(op.x * unitsX, op.y * unitsY, width * unitsX, height * unitsY), picture,
                               QRectF(picture.rect()));
            job.pictures.push_back({op.x, op.y, roundTwips(width), roundTwips(height), page});
            break;
        }
        case PrintOp::Kind::EndDoc:
            break;
        }
    }
    job.pageCount = page;
    if (!painter.end()) {
        error = QStringLiteral("the document could not be finished");
        return false;
    }
    return true;
}

QString fileNamePart(const QString& documentName) {
    QString part;
    for (QChar c : documentName.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            part += c;
        else if (!part.isEmpty() && !part.endsWith(QLatin1Char('-')))
            part += QLatin1Char('-');
    }
    while (part.endsWith(QLatin1Char('-')))
        part.chop(1);
    return part.isEmpty() ? QStringLiteral("hardcopy") : part;
}

// A new file name in the PDF folder: the document's name and the time, numbered when taken.
QString newPdfPath(const QString& folder, const QString& documentName) {
    const QString stem = fileNamePart(documentName) + QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".pdf"));
    for (int number = 2; QFileInfo::exists(path); ++number)
        path =
            QDir(folder).filePath(stem + QLatin1Char('-') + QString::number(number) + QStringLiteral(".pdf"));
    return path;
}

bool printsToPdf(QPrinterInfo& printer) {
    if (!qEnvironmentVariableIsEmpty("KESTRANA_PRINT_TO") || inTestMode())
        return true;
    printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
        if (!installed.isEmpty())
            printer = installed.first();
    }
    return printer.isNull();
}

bool printDocument(QWidget* parent, std::span<const PrintOp> ops, const QPixmap& picture,
                   const PrintOptions& options) {
    PrintJob job;
    job.landscape = options.landscape;
    job.fixedPitch = options.fixedPitch;
    QString error;
    bool done = false;
    QPrinterInfo printer;
    if (printsToPdf(printer)) {
        const QString folder = HardCopyPrinter::pdfFolder();
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("the folder ") + QDir::toNativeSeparators(folder) +
                    QStringLiteral(" could not be created");
        } else {
            job.pdfPath = newPdfPath(folder, options.documentName);
            PdfDestination pdf(job.pdfPath, options);
            done = drawDocument(ops, picture, pdf.device(), job, error) && pdf.finish(error);
        }
    } else {
        PrinterDestination paper(printer, options);
        done = drawDocument(ops, picture, paper.device(), job, error) && paper.finish(error);
    }
    if (!done) {
        MessageBox::information(parent, QStringLiteral("The hard copy could not be printed: ") + error + '.');
        return false;
    }
    record().push_back(job);
    if (!job.pdfPath.isEmpty())
        MessageBox::information(parent, QStringLiteral("The hard copy was saved as ") +
                                            QDir::toNativeSeparators(job.pdfPath));
    return true;
}

} // namespace

std::vector<std::string> PrintJob::texts() const {
    std::vector<std::string> result;
    for (const PrintedLine& line : lines)
        result.push_back(line.text);
    return result;
}

bool HardCopyPrinter::print(QWidget* parent, const HardCopyScript& script, const QPixmap& picture,
                            const PrintOptions& options) {
    const std::vector<PrintOp>& ops = script.ops();
    for (const PrintOp& op : ops) {
        if (op.kind == PrintOp::Kind::Picture && picture.isNull()) {
            MessageBox::information(
                parent, QStringLiteral("The hard copy could not be printed: there is no chart picture."));
            return false;
        }
    }
    // Each EndDoc closes one document; a document with nothing visible on it is not sent at all.
    std::size_t begin = 0;
    while (begin < ops.size()) {
        std::size_t end = begin;
        while (end < ops.size() && ops[end].kind != PrintOp::Kind::EndDoc)
            ++end;
        const std::span<const PrintOp> document(ops.data() + begin, end - begin);
        const bool anyInk = std::any_of(document.begin(), document.end(), putsInk);
        if (anyInk && !printDocument(parent, document, picture, options))
            return false;
        begin = end + 1;
    }
    return true;
}

// Made absolute, so that the message after a PDF names a place the user can find whatever folder the
// program was started from.
QString HardCopyPrinter::pdfFolder() {
    QString folder = qEnvironmentVariable("KESTRANA_PRINT_TO");
    if (folder.isEmpty())
        folder = widgets::fromPath(kestrana::platform::joinPath(kestrana::platform::homeFolder(), "prints"));
    return QDir(folder).absolutePath();
}

const std::vector<PrintJob>& HardCopyPrinter::jobs() {
    return record();
}

void HardCopyPrinter::reset() {
    record().clear();
}

} // namespace kestrana::gui::services
