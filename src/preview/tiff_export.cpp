#include "preview/tiff_export.h"

#include "markup/terror.h"
#include "preview/metafile.h"

#include <QIODevice>
#include <QImage>
#include <QPainter>

#include <tiffio.h>

#include <future>
#include <vector>

namespace {

// libtiff reads and writes the temporary file through its device.
tsize_t Read_Proc(thandle_t handle, tdata_t data, tsize_t size)
{
    return tsize_t(static_cast<QIODevice *>(handle)->read(static_cast<char *>(data), size));
}

tsize_t Write_Proc(thandle_t handle, tdata_t data, tsize_t size)
{
    return tsize_t(static_cast<QIODevice *>(handle)->write(static_cast<const char *>(data), size));
}

toff_t Seek_Proc(thandle_t handle, toff_t offset, int whence)
{
    auto *device = static_cast<QIODevice *>(handle);
    qint64 to = qint64(offset);
    if (whence == SEEK_CUR)
        to += device->pos();
    else if (whence == SEEK_END)
        to += device->size();
    if (to < 0 || !device->seek(to))
        return toff_t(-1);
    return toff_t(to);
}

int Close_Proc(thandle_t)
{
    return 0; // the export file closes itself
}

toff_t Size_Proc(thandle_t handle)
{
    return toff_t(static_cast<QIODevice *>(handle)->size());
}

int Map_Proc(thandle_t, tdata_t *, toff_t *)
{
    return 0;
}

void Unmap_Proc(thandle_t, tdata_t, toff_t)
{
}

struct TTiffCloser
{
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};

void Write_Frame(TIFF *tiff, const QImage &image, int pageNo, int pages)
{
    const int width = image.width(), height = image.height();
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    // the fastest level: a page of scan noise gains little from more effort
    TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 1);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(image.dotsPerMeterX() * 0.0254));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(image.dotsPerMeterY() * 0.0254));
    TIFFSetField(tiff, TIFFTAG_PAGENUMBER, uint16_t(pageNo), uint16_t(pages));
    const uint32_t rowsPerStrip = TIFFDefaultStripSize(tiff, 0);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    const tsize_t rowBytes = tsize_t(width) * 3;
    const bool packed = image.format() == QImage::Format_RGB888;
    std::vector<uchar> strip(size_t(rowBytes) * rowsPerStrip);
    for (uint32_t y = 0, s = 0; y < uint32_t(height); y += rowsPerStrip, ++s) {
        const uint32_t rows = qMin<uint32_t>(rowsPerStrip, uint32_t(height) - y);
        for (uint32_t r = 0; r < rows; ++r) {
            uchar *out = strip.data() + size_t(r) * rowBytes;
            if (packed) {
                std::memcpy(out, image.constScanLine(int(y + r)), size_t(rowBytes));
                continue;
            }
            const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(int(y + r)));
            for (int x = 0; x < width; ++x, out += 3) {
                out[0] = uchar(qRed(in[x]));
                out[1] = uchar(qGreen(in[x]));
                out[2] = uchar(qBlue(in[x]));
            }
        }
        if (TIFFWriteEncodedStrip(tiff, s, strip.data(), rowBytes * rows) < 0)
            throw TError(QStringLiteral("The page %1 cannot be stored").arg(pageNo));
    }
    if (!TIFFWriteDirectory(tiff))
        throw TError(QStringLiteral("The page %1 cannot be stored").arg(pageNo));
}

} // namespace

QImage Render_Page_Image(const TMetafile &page, const QColor &background)
{
    // drawn straight into the frame's 24-bit pixels: measured faster than drawing into
    // 32-bit ones and packing them afterwards
    QImage image(page.PixelSize().expandedTo(QSize(1, 1)), QImage::Format_RGB888);
    image.setDotsPerMeterX(qRound(page.DpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(page.DpiY() / 0.0254));
    QColor opaque = background;
    opaque.setAlpha(255);
    image.fill(opaque);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    page.Play(&painter, QRectF(0, 0, image.width(), image.height()));
    return image;
}

bool Save_Pages_As_Tiff(const QString &fileName, const TExportPages &pages, const QColor &paperColor,
                        const TExportEvents &events)
{
    const int total = qMax(0, pages.Count);
    if (total == 0)
        return false;
    TExportFile file(fileName);
    QIODevice &device = file.Device();
    std::unique_ptr<TIFF, TTiffCloser> tiff(TIFFClientOpen(
        "export", "w", &device, Read_Proc, Write_Proc, Seek_Proc, Close_Proc, Size_Proc, Map_Proc, Unmap_Proc));
    if (!tiff)
        TExportFile::RaiseWriteError(fileName, device.errorString());
    if (events.Progress)
        events.Progress(0, total);
    // A frame is compressed on a worker while the next page is drawn here, where the
    // page store and the callbacks live. One frame at a time reaches libtiff.
    std::future<void> writing;
    int frames = 0;
    auto finishFrame = [&] {
        if (!writing.valid())
            return;
        try {
            writing.get();
        } catch (const TError &error) {
            file.CheckDevice();
            TExportFile::RaiseWriteError(fileName, error.message());
        }
        file.CheckDevice();
    };
    for (int pageNo = 1; pageNo <= total; ++pageNo) {
        const TPageProcessingChoice choice = events.PageProcessing ? events.PageProcessing(pageNo) : pcAccept;
        if (choice == pcCancellAll) {
            if (writing.valid())
                writing.wait();
            return false;
        }
        if (choice == pcAccept) {
            if (const TMetafile *page = pages.Page(pageNo - 1)) {
                QImage frame = Render_Page_Image(*page, paperColor);
                finishFrame();
                writing = std::async(std::launch::async, [&tiff, pageNo, total, frame = std::move(frame)] {
                    Write_Frame(tiff.get(), frame, pageNo, total);
                });
                ++frames;
            }
        }
        if (events.Progress)
            events.Progress(pageNo, total);
    }
    finishFrame();
    if (frames == 0)
        return false;
    tiff.reset();
    file.CheckDevice();
    file.Commit();
    return true;
}
