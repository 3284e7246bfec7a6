// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/hard_copy_printer.h"

#include "core/common/errors.h"
#include "core/common/paths.h"
#include "gui/services/message_box.h"
#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/qt_text.h"

#include <QBuffer>
#include <QCoreApplication>
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

using kestrana::common::HardCopyScript;
using kestrana::common::PrintFont;
using kestrana::common::PrintOp;

namespace {

constexpr double kTwipsPerInch = 1440.0;
// A picture's natural size: the screen's 96 pixels to the inch.
constexpr double kTwipsPerScreenPixel = 15.0;
// Where a listing goes on after a page break, and how far above the paper's lower edge lines stop.
constexpr double kNewPageTopTwips = 720.0;
constexpr double kFootMarginTwips = 720.0;
// The PDF's resolution: fine enough that twips land within a fraction of a point.
constexpr int kPdfDotsPerInch = 600;

TestHook<NoAnswer, PrintJob>& hook() {
    static TestHook<NoAnswer, PrintJob> printed;
    return printed;
}

// Where "page N of M" stands: centred, below the lowest line a page takes.
constexpr double kPageNumberFromFootTwips = 360.0;
constexpr double kPageNumberPoints = 8.0;

// The printer's faces: for headings a sans whose blank is half a digit wide, the proportions their
// blank padding was laid out for; for listings a fixed-pitch face, so their columns line up.
QFont qtFont(const PrintFont& font) {
    QFont qt = font.fixedPitch ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                               : widgets::designFont(QStringLiteral("Arial"), font.size);
    if (font.fixedPitch) {
        qt.setStyleHint(QFont::Monospace);
        qt.setFixedPitch(true);
        qt.setPointSizeF(font.size);
    }
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
            error = QCoreApplication::translate("HardCopyPrinter", "the printer reported an error");
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
            kestrana::common::writeFileAtomically(widgets::toPath(path_),
                                                  std::string_view(bytes.constData(), bytes.size()));
        } catch (const kestrana::common::Error& failure) {
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

// Lays out the ops of one document page by page; with a painter also draws them. Without one it
// only counts the pages, so that the drawing pass can number them "page N of M".
class DocumentLayout {
public:
    DocumentLayout(QPagedPaintDevice* device, const QPixmap& picture, QPainter* painter, int pageTotal)
        : device_(device), picture_(picture), painter_(painter), pageTotal_(pageTotal),
          unitsX_(device->logicalDpiX() / kTwipsPerInch), unitsY_(device->logicalDpiY() / kTwipsPerInch),
          pageWidth_(device->width() / unitsX_), pageHeight_(device->height() / unitsY_),
          foot_(pageHeight_ - kFootMarginTwips) {}

    void run(std::span<const PrintOp> ops, PrintJob& job) {
        for (const PrintOp& op : ops)
            step(op, job);
        finishPage(job);
        job.pageCount = page_;
    }

private:
    double lineHeight(const PrintFont& font) const {
        return QFontMetricsF(qtFont(font), device_).lineSpacing() / unitsY_;
    }

    void drawText(double x, double y, const PrintFont& font, const std::string& text) {
        if (painter_ == nullptr)
            return;
        const QFont qt = qtFont(font);
        painter_->setFont(qt);
        painter_->drawText(QPointF(x * unitsX_, y * unitsY_ + QFontMetricsF(qt, device_).ascent()),
                           widgets::fromCore(text));
    }

    // "page N of M" at the foot of the page just finished.
    void finishPage(PrintJob& job) {
        if (painter_ == nullptr || pageTotal_ < 1)
            return;
        QFont qt = widgets::designFont(QStringLiteral("Arial"), kPageNumberPoints);
        painter_->setFont(qt);
        const QString text =
            QCoreApplication::translate("HardCopyPrinter", "page %1 of %2").arg(page_).arg(pageTotal_);
        job.pageNumbers.push_back(widgets::toCore(text));
        const double width = QFontMetricsF(qt, device_).horizontalAdvance(text) / unitsX_;
        painter_->drawText(
            QPointF((pageWidth_ - width) / 2 * unitsX_, (pageHeight_ - kPageNumberFromFootTwips) * unitsY_),
            text);
    }

    // A page break is only carried out when something visible follows, so blank lines past the foot
    // never leave an empty page behind. A new page opens with the listing's column header.
    void beginInk(PrintJob& job) {
        if (breakPending_) {
            finishPage(job);
            if (painter_ != nullptr)
                device_->newPage();
            ++page_;
            breakPending_ = false;
            double y = kNewPageTopTwips;
            for (const PrintOp& header : pageHeader_) {
                drawText(header.x, y, header.font, header.text);
                job.repeatedLines.push_back(
                    {header.text, roundTwips(header.x), roundTwips(y), header.font, page_});
                y += lineHeight(header.font);
            }
        }
        pageHasInk_ = true;
    }

    double pageHeaderHeight() const {
        double height = 0.0;
        for (const PrintOp& header : pageHeader_)
            height += lineHeight(header.font);
        return height;
    }

    void step(const PrintOp& op, PrintJob& job) {
        switch (op.kind) {
        case PrintOp::Kind::SetX:
            x_ = op.value;
            break;
        case PrintOp::Kind::SetY:
            y_ = op.value;
            break;
        case PrintOp::Kind::SetFont:
            font_ = op.font;
            break;
        case PrintOp::Kind::PageHeader:
            pageHeader_.push_back(op);
            break;
        case PrintOp::Kind::Line: {
            const double height = lineHeight(font_);
            if (y_ + height > foot_ && y_ > kNewPageTopTwips) {
                if (pageHasInk_ || breakPending_)
                    breakPending_ = true;
                y_ = kNewPageTopTwips + pageHeaderHeight();
            }
            // Blanks are drawn only where they carry an underline.
            if (putsInk(op) || (font_.underline && !op.text.empty())) {
                beginInk(job);
                drawText(x_, y_, font_, op.text);
            }
            job.lines.push_back(
                {op.text, roundTwips(x_), roundTwips(y_), font_, page_ + (breakPending_ ? 1 : 0)});
            y_ += height;
            x_ = 0.0;
            break;
        }
        case PrintOp::Kind::Picture: {
            const double ratio = picture_.devicePixelRatio();
            double width = picture_.width() / ratio * kTwipsPerScreenPixel;
            double height = picture_.height() / ratio * kTwipsPerScreenPixel;
            const double roomX = pageWidth_ - op.x;
            const double roomY = pageHeight_ - op.y;
            if ((width > roomX || height > roomY) && roomX > 0 && roomY > 0) {
                const double shrink = std::min(roomX / width, roomY / height);
                width *= shrink;
                height *= shrink;
            }
            beginInk(job);
            if (painter_ != nullptr)
                painter_->drawPixmap(
                    QRectF(op.x * unitsX_, op.y * unitsY_, width * unitsX_, height * unitsY_), picture_,
                    QRectF(picture_.rect()));
            const int dotsPerInch =
                width > 0 ? static_cast<int>(picture_.width() * kTwipsPerInch / width) : 0;
            job.pictures.push_back({op.x, op.y, roundTwips(width), roundTwips(height), page_, dotsPerInch});
            break;
        }
        case PrintOp::Kind::EndDoc:
            break;
        }
    }

    QPagedPaintDevice* device_;
    const QPixmap& picture_;
    QPainter* painter_;
    int pageTotal_;
    double unitsX_;
    double unitsY_;
    double pageWidth_;
    double pageHeight_;
    double foot_;
    double x_ = 0.0;
    double y_ = 0.0;
    PrintFont font_;
    int page_ = 1;
    bool pageHasInk_ = false;
    bool breakPending_ = false;
    std::vector<PrintOp> pageHeader_;
};

// Draws the ops of one document and records what landed where: a first pass counts the pages, the
// second draws them numbered.
bool drawDocument(std::span<const PrintOp> ops, const QPixmap& picture, QPagedPaintDevice* device,
                  PrintJob& job, QString& error) {
    PrintJob counted;
    DocumentLayout(device, picture, nullptr, 0).run(ops, counted);
    QPainter painter;
    if (!painter.begin(device)) {
        error = QCoreApplication::translate("HardCopyPrinter", "the printer could not be started");
        return false;
    }
    DocumentLayout(device, picture, &painter, counted.pageCount).run(ops, job);
    if (!painter.end()) {
        error = QCoreApplication::translate("HardCopyPrinter", "the document could not be finished");
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

bool printDocument(QWidget* parent, std::span<const PrintOp> givenOps, const QPixmap& picture,
                   const PrintOptions& options) {
    // A document printed in a fixed-pitch face as a whole sets that face on every font it names.
    std::vector<PrintOp> fixedOps;
    std::span<const PrintOp> ops = givenOps;
    if (options.fixedPitch) {
        fixedOps.assign(givenOps.begin(), givenOps.end());
        for (PrintOp& op : fixedOps)
            op.font.fixedPitch = true;
        ops = fixedOps;
    }
    PrintJob job;
    job.landscape = options.landscape;
    job.fixedPitch = options.fixedPitch;
    QString error;
    bool done = false;
    QPrinterInfo printer;
    if (printsToPdf(printer)) {
        const QString folder = HardCopyPrinter::pdfFolder();
        if (!QDir().mkpath(folder)) {
            error = QCoreApplication::translate("HardCopyPrinter", "the folder ") +
                    QDir::toNativeSeparators(folder) +
                    QCoreApplication::translate("HardCopyPrinter", " could not be created");
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
        MessageBox::information(
            parent, QCoreApplication::translate("HardCopyPrinter", "The hard copy could not be printed: ") +
                        error + '.');
        return false;
    }
    hook().record(job);
    if (!job.pdfPath.isEmpty())
        MessageBox::information(
            parent, QCoreApplication::translate("HardCopyPrinter", "The hard copy was saved as ") +
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
                parent,
                QCoreApplication::translate(
                    "HardCopyPrinter", "The hard copy could not be printed: there is no chart picture."));
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
        folder = widgets::fromPath(kestrana::common::joinPath(kestrana::common::homeFolder(), "prints"));
    return QDir(folder).absolutePath();
}

const std::vector<PrintJob>& HardCopyPrinter::jobs() {
    return hook().shown();
}

void HardCopyPrinter::reset() {
    hook().clear();
}

} // namespace kestrana::gui::services
