#include "preview/pdf_export.h"

#include "markup/terror.h"
#include "preview/emf_stream.h"
#include "preview/metafile.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>

#define POINTERHOLDER_TRANSITION 4 // no old-style pointer holders
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <set>
#include <vector>

// QPdfWriter decodes every bitmap and stores it again as a JPEG of its own. To keep a
// scan as it is, each page is drawn with a tiny stand-in bitmap in place of every
// encoded image; the stand-ins are then found in the PDF by their pixel size and their
// image objects given the original bytes. An image object always fills the unit square
// its transform maps, so the replacement's own pixel size does not move it.

namespace {

// What a JPEG file says about its pixels, from its frame header.
struct TJpegFrame
{
    int Width = 0, Height = 0, Components = 0, Precision = 0;
    bool Adobe = false; // an Adobe marker: CMYK is stored inverted
};

bool Read_Jpeg_Frame(const QByteArray &jpeg, TJpegFrame &frame)
{
    const auto *p = reinterpret_cast<const uchar *>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return false;
    qsizetype at = 2;
    while (at + 4 <= n) {
        if (p[at] != 0xFF)
            return false;
        const uchar marker = p[at + 1];
        if (marker == 0xFF) { ++at; continue; } // fill byte
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) { at += 2; continue; }
        if (marker == 0xD9 || marker == 0xDA)
            return false; // image data before any frame header
        const int length = qFromBigEndian<quint16>(p + at + 2);
        if (length < 2 || at + 2 + length > n)
            return false;
        const uchar *seg = p + at + 4;
        if (marker == 0xEE && length >= 14 && std::memcmp(seg, "Adobe", 5) == 0)
            frame.Adobe = true;
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            if (length < 8)
                return false;
            frame.Precision = seg[0];
            frame.Height = qFromBigEndian<quint16>(seg + 1);
            frame.Width = qFromBigEndian<quint16>(seg + 3);
            frame.Components = seg[5];
            // arithmetic coding and lossless JPEG are outside what PDF readers decode
            const bool huffmanDct = marker <= 0xC2;
            return huffmanDct && frame.Width > 0 && frame.Height > 0;
        }
        at += 2 + length;
    }
    return false;
}

// One image object of the PDF to be, held until the file is written.
struct TPdfImage
{
    QByteArray Data;          // the stream's bytes: a JPEG, or zlib-compressed samples
    bool Dct = false;
    int Width = 0, Height = 0;
    const char *ColorSpace = "/DeviceRGB";
    bool InvertedCmyk = false;
    QByteArray Mask;          // zlib-compressed 8-bit alpha, for a Flate image that has one
};

QByteArray Deflate(const uchar *data, qsizetype size)
{
    // qCompress writes a zlib stream behind a 4-byte length of its own
    return qCompress(data, size).mid(4);
}

// A lossless image object for an encoded image that is not kept as a DCT stream.
bool Flate_Image(const QByteArray &encoded, TPdfImage &out)
{
    QImage image;
    if (!image.loadFromData(encoded))
        return false;
    out.Width = image.width();
    out.Height = image.height();
    if (image.hasAlphaChannel()) {
        const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
        QByteArray samples;
        samples.reserve(qsizetype(out.Width) * out.Height);
        for (int y = 0; y < out.Height; ++y)
            samples.append(reinterpret_cast<const char *>(alpha.constScanLine(y)), out.Width);
        out.Mask = Deflate(reinterpret_cast<const uchar *>(samples.constData()), samples.size());
        // samples under the mask are stored as they are, not blended onto a background
        image = image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB888);
    } else if (image.isGrayscale()) {
        image = image.convertToFormat(QImage::Format_Grayscale8);
        out.ColorSpace = "/DeviceGray";
    } else {
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    const int rowBytes = image.format() == QImage::Format_Grayscale8 ? out.Width : out.Width * 3;
    QByteArray samples;
    samples.reserve(qsizetype(rowBytes) * out.Height);
    for (int y = 0; y < out.Height; ++y)
        samples.append(reinterpret_cast<const char *>(image.constScanLine(y)), rowBytes);
    out.Data = Deflate(reinterpret_cast<const uchar *>(samples.constData()), samples.size());
    return true;
}

bool Dct_Image(const QByteArray &jpeg, TPdfImage &out)
{
    TJpegFrame frame;
    if (!Read_Jpeg_Frame(jpeg, frame) || frame.Precision != 8)
        return false;
    switch (frame.Components) {
    case 1: out.ColorSpace = "/DeviceGray"; break;
    case 3: out.ColorSpace = "/DeviceRGB"; break;
    case 4: out.ColorSpace = "/DeviceCMYK"; out.InvertedCmyk = frame.Adobe; break;
    default: return false;
    }
    out.Data = jpeg;
    out.Dct = true;
    out.Width = frame.Width;
    out.Height = frame.Height;
    return true;
}

// A page picture with its encoded images swapped for stand-ins, and the images.
struct TPreparedPage
{
    QByteArray Emf;
    int StandInWidth = 0;              // every stand-in is this wide, and i + 1 rows high
    std::vector<TPdfImage> Images;     // by stand-in
};

QByteArray Stand_In_Record(const QByteArray &record, int width, int height)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    Emf::TRecordWriter w(Emf::STRETCHDIBITS);
    Emf::TRecordReader r(record.constData(), record.size());
    const int bitsSize = rowBytes * height;
    w.I32(r.I32(8)).I32(r.I32(12)).I32(r.I32(16)).I32(r.I32(20));   // bounds
    w.I32(r.I32(24)).I32(r.I32(28));                                 // destination origin
    w.I32(0).I32(0).I32(width).I32(height);                          // source rectangle
    w.U32(80).U32(40).U32(120).U32(bitsSize);                        // header and bits
    w.U32(0).U32(Emf::SRCCOPY);                                      // DIB_RGB_COLORS
    w.I32(r.I32(72)).I32(r.I32(76));                                 // destination extent
    w.U32(40).I32(width).I32(height).U32(1 | (24u << 16)).U32(Emf::BI_RGB)
        .U32(bitsSize).I32(0).I32(0).U32(0).U32(0);
    QByteArray bytes = w.Finish();
    bytes.append(QByteArray(bitsSize, char(0x80)));
    qToLittleEndian<quint32>(quint32(bytes.size()), bytes.data() + 4);
    return bytes;
}

TPreparedPage Prepare_Page(const TMetafile &page)
{
    TPreparedPage out;
    const QByteArray file = page.SaveToBytes();
    Emf::TRecordReader head(file.constData(), file.size());
    const quint32 headerSize = head.U32(4);
    if (head.Failed() || headerSize < 88 || headerSize > quint32(file.size())) {
        out.Emf = file;
        return out;
    }
    // the stand-ins' width must not be that of any other bitmap on the page
    struct TSlot { qsizetype At, Size; TPdfImage Image; };
    std::vector<TSlot> found;
    std::set<qint32> widths;
    for (qsizetype at = headerSize; at + 8 <= file.size();) {
        Emf::TRecordReader r(file.constData() + at, file.size() - at);
        const quint32 size = r.U32(4);
        if (size < 8 || size > file.size() - at)
            break;
        Emf::TRecordReader rec(file.constData() + at, size);
        const quint32 type = rec.Type();
        if (type == Emf::STRETCHDIBITS && size >= 80) {
            const quint32 offBmi = rec.U32(48), cbBmi = rec.U32(52), offBits = rec.U32(56), cbBits = rec.U32(60);
            const quint32 compression = rec.U32(offBmi + 16);
            const qint32 fullW = rec.I32(offBmi + 4), fullH = std::abs(rec.I32(offBmi + 8));
            const bool wholeSource = rec.I32(32) == 0 && rec.I32(36) == 0 && rec.I32(40) == fullW
                                     && rec.I32(44) == fullH;
            const bool upright = rec.I32(72) > 0 && rec.I32(76) > 0;
            bool replaced = false;
            if (!rec.Failed() && cbBmi >= 40 && rec.Fits(offBits, cbBits) && wholeSource && upright
                && (compression == Emf::BI_JPEG || compression == Emf::BI_PNG)) {
                const QByteArray bytes = rec.Slice(offBits, cbBits);
                TPdfImage image;
                if ((compression == Emf::BI_JPEG && Dct_Image(bytes, image)) || Flate_Image(bytes, image)) {
                    found.push_back({at, size, std::move(image)});
                    replaced = true;
                }
            }
            if (!replaced)
                widths.insert(rec.I32(40));
        } else if ((type == Emf::BITBLT || type == Emf::STRETCHBLT || type == Emf::ALPHABLEND) && size >= 100) {
            widths.insert(rec.I32(32));
            widths.insert(type == Emf::BITBLT ? rec.I32(32) : rec.I32(100));
        }
        at += size;
    }
    if (found.empty()) {
        out.Emf = file;
        return out;
    }
    out.StandInWidth = 2;
    while (widths.count(out.StandInWidth))
        ++out.StandInWidth;
    QByteArray emf;
    emf.reserve(file.size());
    qsizetype copied = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        const TSlot &slot = found[i];
        emf.append(file.constData() + copied, slot.At - copied);
        emf.append(Stand_In_Record(file.mid(slot.At, slot.Size), out.StandInWidth, int(i) + 1));
        copied = slot.At + slot.Size;
        out.Images.push_back(std::move(found[i].Image));
    }
    emf.append(file.constData() + copied, file.size() - copied);
    qToLittleEndian<quint32>(quint32(emf.size()), emf.data() + 48); // the header's file length
    out.Emf = std::move(emf);
    return out;
}

// Feeds qpdf's output to the temporary file.
class TDevicePipeline : public Pipeline
{
public:
    TDevicePipeline(TExportFile &file) : Pipeline("export file", nullptr), FFile(file) {}
    void write(unsigned char const *data, size_t len) override
    {
        if (FFile.Device().write(reinterpret_cast<const char *>(data), qint64(len)) != qint64(len))
            FFile.CheckDevice();
    }
    void finish() override {}

private:
    TExportFile &FFile;
};

std::string Utf8(const QString &text)
{
    return text.toStdString();
}

QPDFObjectHandle Name(const char *name)
{
    return QPDFObjectHandle::newName(name);
}

void Replace_Image(QPDF &pdf, QPDFObjectHandle stream, const TPdfImage &image)
{
    QPDFObjectHandle dict = stream.getDict();
    for (const char *key : {"/SMask", "/Decode", "/DecodeParms", "/Mask", "/ImageMask", "/Interpolate"})
        dict.removeKey(key);
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.Width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.Height));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    dict.replaceKey("/ColorSpace", Name(image.ColorSpace));
    if (image.InvertedCmyk)
        dict.replaceKey("/Decode", QPDFObjectHandle::parse("[1 0 1 0 1 0 1 0]"));
    const QByteArray data = image.Data;
    stream.replaceStreamData([data](Pipeline *p) {
        p->write(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()));
        p->finish();
    }, Name(image.Dct ? "/DCTDecode" : "/FlateDecode"), QPDFObjectHandle::newNull());
    if (!image.Mask.isEmpty()) {
        QPDFObjectHandle mask = QPDFObjectHandle::newStream(&pdf);
        const QByteArray alpha = image.Mask;
        mask.replaceStreamData([alpha](Pipeline *p) {
            p->write(reinterpret_cast<const unsigned char *>(alpha.constData()), size_t(alpha.size()));
            p->finish();
        }, Name("/FlateDecode"), QPDFObjectHandle::newNull());
        QPDFObjectHandle md = mask.getDict();
        md.replaceKey("/Type", Name("/XObject"));
        md.replaceKey("/Subtype", Name("/Image"));
        md.replaceKey("/Width", QPDFObjectHandle::newInteger(image.Width));
        md.replaceKey("/Height", QPDFObjectHandle::newInteger(image.Height));
        md.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
        md.replaceKey("/ColorSpace", Name("/DeviceGray"));
        dict.replaceKey("/SMask", mask);
    }
}

void Replace_Stand_Ins(QPDF &pdf, QPDFObjectHandle page, const TPreparedPage &prepared)
{
    if (prepared.Images.empty())
        return;
    QPDFObjectHandle xobjects = page.getKey("/Resources").getKey("/XObject");
    if (!xobjects.isDictionary())
        return;
    for (const std::string &key : xobjects.getKeys()) {
        QPDFObjectHandle object = xobjects.getKey(key);
        if (!object.isStream())
            continue;
        QPDFObjectHandle dict = object.getDict();
        if (!dict.getKey("/Subtype").isNameAndEquals("/Image") || !dict.getKey("/Width").isInteger()
            || !dict.getKey("/Height").isInteger())
            continue;
        const long long w = dict.getKey("/Width").getIntValue(), h = dict.getKey("/Height").getIntValue();
        if (w != prepared.StandInWidth || h < 1 || h > qint64(prepared.Images.size()))
            continue;
        Replace_Image(pdf, object, prepared.Images[size_t(h - 1)]);
    }
}

} // namespace

bool Save_Pages_As_Pdf(const QString &fileName, const TExportPages &pages, QSize pagePoints,
                       const TPDFDocumentInfo &info, const TExportEvents &events)
{
    const int total = qMax(0, pages.Count);
    TExportFile file(fileName); // an unwritable target fails before any page is drawn
    if (events.Progress)
        events.Progress(0, total);

    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    QPdfWriter writer(&drawn);
    const QSizeF points(qMax(1, qMin(pagePoints.width(), pagePoints.height())),
                        qMax(1, qMax(pagePoints.width(), pagePoints.height())));
    writer.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                     pagePoints.width() > pagePoints.height() ? QPageLayout::Landscape
                                                                              : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    writer.setResolution(1200);
    writer.setCreator(info.Creator);
    writer.setTitle(info.Title);
    QPainter painter;
    std::vector<TPreparedPage> prepared;
    for (int pageNo = 1; pageNo <= total; ++pageNo) {
        const TPageProcessingChoice choice = events.PageProcessing ? events.PageProcessing(pageNo) : pcAccept;
        if (choice == pcCancellAll)
            return false;
        if (choice == pcAccept) {
            const TMetafile *page = pages.Page(pageNo - 1);
            TPreparedPage ready = page ? Prepare_Page(*page) : TPreparedPage{};
            if (prepared.empty()) {
                if (!painter.begin(&writer))
                    TExportFile::RaiseWriteError(fileName, QStringLiteral("The PDF cannot be started"));
            } else {
                writer.newPage();
            }
            if (!ready.Emf.isEmpty()) {
                TMetafile standIn;
                standIn.LoadFromBytes(ready.Emf);
                standIn.Play(&painter, QRectF(0, 0, writer.width(), writer.height()));
                ready.Emf.clear();
            }
            prepared.push_back(std::move(ready));
        }
        if (events.Progress)
            events.Progress(pageNo, total);
    }
    if (prepared.empty())
        return false;
    painter.end();
    drawn.close();

    try {
        QPDF pdf;
        pdf.processMemoryFile("drawn pages", drawn.data().constData(), size_t(drawn.data().size()));
        const std::vector<QPDFObjectHandle> &pdfPages = pdf.getAllPages();
        for (size_t i = 0; i < pdfPages.size() && i < prepared.size(); ++i)
            Replace_Stand_Ins(pdf, pdfPages[i], prepared[i]);
        QPDFObjectHandle trailer = pdf.getTrailer();
        QPDFObjectHandle documentInfo = trailer.getKey("/Info");
        if (!documentInfo.isDictionary()) {
            documentInfo = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            trailer.replaceKey("/Info", documentInfo);
        }
        const std::pair<const char *, const QString *> texts[] = {
            {"/Creator", &info.Creator}, {"/Author", &info.Author},
            {"/Subject", &info.Subject}, {"/Title", &info.Title}};
        for (const auto &[key, value] : texts) {
            if (value->isEmpty())
                documentInfo.removeKey(key);
            else
                documentInfo.replaceKey(key, QPDFObjectHandle::newUnicodeString(Utf8(*value)));
        }
        TDevicePipeline output(file);
        QPDFWriter pdfWriter(pdf);
        pdfWriter.setOutputPipeline(&output);
        // streams already compressed (the scans, the page content) are copied as they are
        pdfWriter.setDecodeLevel(qpdf_dl_none);
        pdfWriter.setCompressStreams(true);
        pdfWriter.write();
    } catch (const TError &) {
        throw;
    } catch (const std::exception &e) {
        TExportFile::RaiseWriteError(fileName, QString::fromLocal8Bit(e.what()));
    }
    file.Commit();
    return true;
}
