// Recording pages, editing stored pages, the overlays of the current page and the drawing
// helpers that place graphics, widgets and rich text on the recording canvas.

#include "preview/print_preview.h"

#include "preview/metafile.h"
#include "preview/metafile_list.h"
#include "preview/page_picture_access_p.h"
#include "preview/preview_errors.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QMetaMethod>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// Runs a cleanup at scope exit, also when an exception leaves the scope.
template <typename F>
struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F>
Finally(F) -> Finally<F>;

} // namespace

// ---------------------------------------------------------------- page pictures

QFont TPrintPreview::PageFont(const QFont &font) const
{
    QFont result(font);
    const int ph = qMax(1, FPageExt.y());
    const int vh = qMax(1, ConvertY(ph, FUnits, mmPixel));
    // the page's units per inch, so that a point keeps its size on the page
    const int perInch = MulDiv(VertPixelsPerInch(), ph, vh);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / qMax(1, ScreenPixelsPerInch());
    result.setPixelSize(qMax(1, RoundHalfEven(points * perInch / 72.0)));
    return result;
}

void TPrintPreview::ScaleCanvas(QPainter &canvas)
{
    const int pw = qMax(1, FPageExt.x());
    const int ph = qMax(1, FPageExt.y());
    const QPaintDevice *device = canvas.device();
    const int dx = device ? qMax(1, device->logicalDpiX()) : HorzPixelsPerInch();
    const int dy = device ? qMax(1, device->logicalDpiY()) : VertPixelsPerInch();
    canvas.setWindow(0, 0, pw, ph);
    canvas.setViewport(0, 0, qMax(1, ConvertUnits(pw, dx, FUnits, mmPixel)), qMax(1, ConvertUnits(ph, dy, FUnits, mmPixel)));
    canvas.setFont(PageFont(canvas.font()));
}

void TPrintPreview::CreateMetafileCanvas(std::unique_ptr<TMetafile> &metafile, std::unique_ptr<QPainter> &canvas)
{
    std::unique_ptr<TMetafile> picture = NewPagePicture(QSize(FDeviceExt.x(), FDeviceExt.y()), HorzPixelsPerInch(),
                                                        VertPixelsPerInch(), FPrintJobTitle);
    auto painter = std::make_unique<QPainter>();
    if (!picture || !painter->begin(picture.get()))
        throw EOutOfMemory();
    painter->setFont(font());
    ScaleCanvas(*painter);
    painter->setBackground(Qt::white);
    painter->setBackgroundMode(Qt::TransparentMode);
    metafile = std::move(picture);
    canvas = std::move(painter);
}

void TPrintPreview::CloseMetafileCanvas(std::unique_ptr<TMetafile> &metafile, std::unique_ptr<QPainter> &canvas)
{
    if (canvas) {
        canvas->end();
        canvas.reset();
    }
    if (!metafile || !PagePictureComplete(*metafile)) {
        metafile.reset();
        throw EOutOfMemory();
    }
}

// ---------------------------------------------------------------- recording

bool TPrintPreview::CanRecordHere() const
{
    // direct printing is driven by the print code, which sets psPrinting itself
    return FState == psCreating;
}

void TPrintPreview::BeginDoc()
{
    if (FState != psReady)
        return;
    FPageCanvas.reset();
    PageMetafile.reset();
    FPageList->Clear();
    ChangeState(psCreating);
    FReferenceDevice = nullptr;
    UpdateExtends();
    emit OnBeginDoc(this);
    NewPage();
}

void TPrintPreview::StoreRecordedPage(bool insert, int pageNo)
{
    // the store keeps its own copy; ours goes whatever happens to the store
    Finally release{[this] { PageMetafile.reset(); }};
    CloseMetafileCanvas(PageMetafile, FPageCanvas);
    if (insert)
        FPageList->Insert(pageNo - 1, *PageMetafile);
    else
        FPageList->Add(*PageMetafile);
}

void TPrintPreview::NewPage()
{
    if (!CanRecordHere())
        return;
    try {
        if (FPageCanvas) {
            emit OnEndPage(this);
            StoreRecordedPage(false, 0);
        }
        CreateMetafileCanvas(PageMetafile, FPageCanvas);
    } catch (...) {
        // a page that cannot be made ends the recording, so the control is usable again
        FPageCanvas.reset();
        PageMetafile.reset();
        FCanvasPageNo = 0;
        ChangeState(psReady);
        throw;
    }
    ++FCanvasPageNo;
    emit OnNewPage(this);
}

void TPrintPreview::EndDoc()
{
    if (!CanRecordHere())
        return;
    emit OnEndPage(this);
    FCanvasPageNo = 0;
    try {
        if (FPageCanvas)
            StoreRecordedPage(false, 0);
    } catch (...) {
        FPageCanvas.reset();
        ChangeState(psReady);
        throw;
    }
    emit OnEndDoc(this);
    ChangeState(psReady);
}

// ---------------------------------------------------------------- editing

bool TPrintPreview::BeginEdit(int pageNo)
{
    if (FState != psReady || pageNo < 1 || pageNo > TotalPages())
        return false;
    CreateMetafileCanvas(PageMetafile, FPageCanvas);
    ChangeState(psEditing);
    FCanvasPageNo = pageNo;
    if (TMetafile *old = GetPages(pageNo))
        PlayPagePicture(*old, *FPageCanvas, PageBounds());
    return true;
}

void TPrintPreview::FinishEditing(bool cancel)
{
    Finally cleanup{[this] {
        FPageCanvas.reset();
        PageMetafile.reset();
        FCanvasPageNo = 0;
        ChangeState(psReady);
    }};
    CloseMetafileCanvas(PageMetafile, FPageCanvas);
    if (cancel)
        return;
    if (FState == psInserting) {
        if (FCurrentPage >= FCanvasPageNo)
            ++FCurrentPage;
        FPageList->Insert(FCanvasPageNo - 1, *PageMetafile);
    } else if (TMetafile *stored = GetPages(FCanvasPageNo)) {
        // the stored picture reports its own change to the store
        AssignPagePicture(*stored, *PageMetafile);
    }
}

void TPrintPreview::EndEdit(bool cancel)
{
    if (FState == psEditing)
        FinishEditing(cancel);
}

bool TPrintPreview::BeginReplace(int pageNo)
{
    if (FState != psReady || pageNo < 1 || pageNo > TotalPages())
        return false;
    CreateMetafileCanvas(PageMetafile, FPageCanvas);
    ChangeState(psReplacing);
    FCanvasPageNo = pageNo;
    emit OnNewPage(this);
    return true;
}

void TPrintPreview::EndReplace(bool cancel)
{
    if (FState == psReplacing)
        FinishEditing(cancel);
}

bool TPrintPreview::BeginInsert(int pageNo)
{
    if (FState != psReady)
        return false;
    CreateMetafileCanvas(PageMetafile, FPageCanvas);
    ChangeState(psInserting);
    FCanvasPageNo = qBound(1, pageNo, TotalPages() + 1);
    emit OnNewPage(this);
    return true;
}

void TPrintPreview::EndInsert(bool cancel)
{
    if (FState == psInserting)
        FinishEditing(cancel);
}

bool TPrintPreview::BeginAppend()
{
    return BeginInsert(2147483647);
}

void TPrintPreview::EndAppend(bool cancel)
{
    EndInsert(cancel);
}

bool TPrintPreview::Delete(int pageNo)
{
    if (FState != psReady || pageNo < 1 || pageNo > TotalPages())
        return false;
    if (pageNo < FCurrentPage || (pageNo == FCurrentPage && pageNo == TotalPages()))
        --FCurrentPage;
    FPageList->Delete(pageNo - 1);
    return true;
}

bool TPrintPreview::Move(int pageNo, int newPageNo)
{
    if (FState != psReady || pageNo == newPageNo || pageNo < 1 || pageNo > TotalPages() || newPageNo < 1
        || newPageNo > TotalPages())
        return false;
    if (pageNo == FCurrentPage || newPageNo == FCurrentPage)
        FCurrentPage = newPageNo;
    FPageList->Move(pageNo - 1, newPageNo - 1);
    return true;
}

bool TPrintPreview::Exchange(int pageNo1, int pageNo2)
{
    if (FState != psReady || pageNo1 == pageNo2 || pageNo1 < 1 || pageNo1 > TotalPages() || pageNo2 < 1
        || pageNo2 > TotalPages())
        return false;
    if (pageNo1 == FCurrentPage)
        FCurrentPage = pageNo2;
    else if (pageNo2 == FCurrentPage)
        FCurrentPage = pageNo1;
    FPageList->Exchange(pageNo1 - 1, pageNo2 - 1);
    return true;
}

void TPrintPreview::Clear()
{
    FPageList->Clear();
}

// ---------------------------------------------------------------- overlays

void TPrintPreview::BuildAnnotation(int pageNo)
{
    AnnotationMetafile.reset();
    if (!FAnnotation || pageNo <= 0 || !isSignalConnected(QMetaMethod::fromSignal(&TPrintPreview::OnAnnotation)))
        return;
    std::unique_ptr<TMetafile> picture;
    std::unique_ptr<QPainter> canvas;
    CreateMetafileCanvas(picture, canvas);
    {
        Finally close{[&] {
            if (canvas)
                canvas->end();
            canvas.reset();
        }};
        emit OnAnnotation(this, pageNo, canvas.get());
    }
    CloseMetafileCanvas(picture, canvas);
    AnnotationMetafile = std::move(picture);
}

void TPrintPreview::BuildBackground(int pageNo)
{
    BackgroundMetafile.reset();
    if (!FBackground || pageNo <= 0 || !isSignalConnected(QMetaMethod::fromSignal(&TPrintPreview::OnBackground)))
        return;
    std::unique_ptr<TMetafile> picture;
    std::unique_ptr<QPainter> canvas;
    CreateMetafileCanvas(picture, canvas);
    {
        Finally close{[&] {
            if (canvas)
                canvas->end();
            canvas.reset();
        }};
        emit OnBackground(this, pageNo, canvas.get());
    }
    CloseMetafileCanvas(picture, canvas);
    BackgroundMetafile = std::move(picture);
}

void TPrintPreview::SetAnnotation(bool value)
{
    if (value == FAnnotation)
        return;
    FAnnotation = value;
    BuildAnnotation(FCurrentPage);
    FPaperView->Invalidate();
}

void TPrintPreview::SetBackground(bool value)
{
    if (value == FBackground)
        return;
    FBackground = value;
    BuildBackground(FCurrentPage);
    FPaperView->Invalidate();
}

void TPrintPreview::UpdateAnnotation()
{
    if (!FAnnotation)
        return;
    BuildAnnotation(FCurrentPage);
    FPaperView->Invalidate();
}

void TPrintPreview::UpdateBackground()
{
    if (!FBackground)
        return;
    BuildBackground(FCurrentPage);
    FPaperView->Invalidate();
}

// ---------------------------------------------------------------- graphics

void TPrintPreview::DrawGraphic(QPainter &canvas, const QRect &rect, const TPreviewGraphic &graphic)
{
    if (graphic.Metafile) {
        PlayPagePicture(*graphic.Metafile, canvas, rect);
        return;
    }
    if (!graphic.Encoded.isEmpty()) {
        DrawEncodedImage(canvas, rect, graphic.Encoded, graphic.EncodedSize);
        return;
    }
    if (graphic.Image.isNull())
        return;
    canvas.save();
    // a plain stretch, as a bitmap copy does it: no smoothing, no transparency
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (graphic.Image.hasAlphaChannel())
        canvas.drawImage(rect, graphic.Image.convertToFormat(QImage::Format_RGB32));
    else
        canvas.drawImage(rect, graphic.Image);
    canvas.restore();
}

void TPrintPreview::DrawOnCanvas(const QRect &rect, const TPreviewGraphic &graphic)
{
    if (FPageCanvas)
        DrawGraphic(*FPageCanvas, rect, graphic);
}

QPoint TPrintPreview::PaintGraphic(int x, int y, const TPreviewGraphic &graphic)
{
    const QSize pixels = graphic.Size();
    const QPoint size = ScreenToPreview(pixels.width(), pixels.height());
    DrawOnCanvas(QRect(x, y, size.x(), size.y()), graphic);
    return size;
}

QRect TPrintPreview::PlaceGraphic(const QRect &rect, QSize natural, bool proportional, bool shrinkOnly, bool center) const
{
    const int w = rect.width();
    const int h = rect.height();
    const int gw = natural.width();
    const int gh = natural.height();
    QSize size(w, h);
    if (gw <= 0 || gh <= 0)
        size = QSize(0, 0);
    else if (shrinkOnly && w >= gw && h >= gh)
        size = QSize(gw, gh);
    else if (proportional) {
        if (double(h) / gh > double(w) / gw)
            size = QSize(w, MulDiv(gh, w, gw));
        else
            size = QSize(MulDiv(gw, h, gh), h);
    }
    QPoint topLeft = rect.topLeft();
    if (center)
        topLeft += QPoint((w - size.width()) / 2, (h - size.height()) / 2);
    return QRect(topLeft, size);
}

QRect TPrintPreview::PaintGraphicEx(const QRect &rect, const TPreviewGraphic &graphic, bool proportional, bool shrinkOnly,
                                    bool center)
{
    const QSize pixels = graphic.Size();
    const QPoint natural = ScreenToPreview(pixels.width(), pixels.height());
    const QRect placed = PlaceGraphic(rect, QSize(natural.x(), natural.y()), proportional, shrinkOnly, center);
    if (!placed.isEmpty())
        DrawOnCanvas(placed, graphic);
    return placed;
}

QRect TPrintPreview::PaintGraphicEx2(const QRect &rect, const TPreviewGraphic &graphic, TVertAlign vertAlign,
                                     THorzAlign horzAlign)
{
    const QSize pixels = graphic.Size();
    const QPoint natural = ScreenToPreview(pixels.width(), pixels.height());
    const QRect fitted = PlaceGraphic(rect, QSize(natural.x(), natural.y()), true, true, false);
    const int w = fitted.width();
    const int h = fitted.height();
    int top = rect.top();
    if (vertAlign == vaBottom)
        top = rect.top() + rect.height() - h;
    else if (vertAlign == vaCenter)
        top = rect.top() + (rect.height() - h) / 2;
    int left = rect.left();
    if (horzAlign == haRight)
        left = rect.left() + rect.width() - w;
    else if (horzAlign == haCenter)
        left = rect.left() + (rect.width() - w) / 2;
    const QRect placed(left, top, w, h);
    if (!placed.isEmpty())
        DrawOnCanvas(placed, graphic);
    return placed;
}

namespace {

// A widget painted into a picture of its own size, at the screen's resolution.
std::unique_ptr<TMetafile> RenderWidget(QWidget *control, int screenPixelsPerInch)
{
    if (!control || control->width() <= 0 || control->height() <= 0)
        return nullptr;
    std::unique_ptr<TMetafile> picture = NewPagePicture(control->size(), screenPixelsPerInch, screenPixelsPerInch, QString());
    if (!picture)
        throw EOutOfMemory();
    control->render(picture.get(), QPoint(), QRegion(), QWidget::DrawChildren | QWidget::DrawWindowBackground);
    return picture;
}

} // namespace

QPoint TPrintPreview::PaintWinControl(int x, int y, QWidget *control)
{
    const std::unique_ptr<TMetafile> picture = RenderWidget(control, ScreenPixelsPerInch());
    if (!picture)
        return QPoint();
    const QPoint size = ScreenToPreview(control->width(), control->height());
    DrawOnCanvas(QRect(x, y, size.x(), size.y()), TPreviewGraphic::FromMetafile(*picture));
    return size;
}

QRect TPrintPreview::PaintWinControlEx(const QRect &rect, QWidget *control, bool proportional, bool shrinkOnly, bool center)
{
    const std::unique_ptr<TMetafile> picture = RenderWidget(control, ScreenPixelsPerInch());
    if (!picture)
        return QRect();
    return PaintGraphicEx(rect, TPreviewGraphic::FromMetafile(*picture), proportional, shrinkOnly, center);
}

QRect TPrintPreview::PaintWinControlEx2(const QRect &rect, QWidget *control, TVertAlign vertAlign, THorzAlign horzAlign)
{
    const std::unique_ptr<TMetafile> picture = RenderWidget(control, ScreenPixelsPerInch());
    if (!picture)
        return QRect();
    return PaintGraphicEx2(rect, TPreviewGraphic::FromMetafile(*picture), vertAlign, horzAlign);
}

// ---------------------------------------------------------------- rich text

namespace {

constexpr int TwipsPerInch = 1440;

// Rich text laid out in twips for one column width; lines in reading order with their
// first character and vertical extent.
struct RichTextPages {
    QImage device;   // gives the layout its resolution: twips
    std::unique_ptr<QTextDocument> document;
    struct Line {
        int start;
        double top;
        double bottom;
    };
    std::vector<Line> lines;
    int length = 0;

    RichTextPages(const QTextDocument &source, double widthTwips)
        : device(1, 1, QImage::Format_RGB32), document(source.clone())
    {
        const int dotsPerMetre = qRound(TwipsPerInch / 0.0254);
        device.setDotsPerMeterX(dotsPerMetre);
        device.setDotsPerMeterY(dotsPerMetre);
        document->documentLayout()->setPaintDevice(&device);
        document->setDocumentMargin(0);
        document->setTextWidth(widthTwips);
        document->documentLayout()->documentSize();  // lays the whole text out
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextLayout *layout = block.layout();
            if (!layout)
                continue;
            const double blockTop = layout->position().y();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                lines.push_back({block.position() + line.textStart(), blockTop + line.y(), blockTop + line.y() + line.height()});
            }
        }
        std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) { return a.start < b.start; });
        length = qMax(0, document->characterCount() - 1);
    }

    // The page that begins at the line holding start: its top, the height it uses, and the
    // first character of the next page (length when the text ends on this page).
    int Format(int start, double pageHeight, double &top, double &used) const
    {
        top = 0;
        used = 0;
        if (start >= length || lines.empty())
            return length;
        std::size_t first = 0;
        while (first + 1 < lines.size() && lines[first + 1].start <= start)
            ++first;
        top = lines[first].top;
        std::size_t next = first;
        while (next < lines.size() && lines[next].bottom - top <= pageHeight)
            ++next;
        if (next > first)
            used = lines[next - 1].bottom - top;
        return next < lines.size() ? lines[next].start : length;
    }

    void Draw(QPainter &canvas, const QRectF &target, double scaleX, double scaleY, double top, double used) const
    {
        canvas.save();
        canvas.translate(target.topLeft());
        canvas.scale(scaleX, scaleY);
        const QRectF area(0, 0, document->textWidth(), used);
        canvas.setClipRect(area, Qt::IntersectClip);
        canvas.translate(0, -top);
        document->drawContents(&canvas, area.translated(0, top));
        canvas.restore();
    }
};

} // namespace

int TPrintPreview::PaintRichText(const QRect &rect, const QTextDocument &richText, int maxPages, int *offset)
{
    int start = offset ? qMax(0, *offset) : 0;
    if (!FPageCanvas)
        return 0;
    const double widthTwips = ConvertX(rect.width(), FUnits, mmTWIPS);
    const double heightTwips = ConvertY(rect.height(), FUnits, mmTWIPS);
    const double scaleX = double(UnitsPerInch(FUnits, HorzPixelsPerInch())) / TwipsPerInch;
    const double scaleY = double(UnitsPerInch(FUnits, VertPixelsPerInch())) / TwipsPerInch;
    const RichTextPages pages(richText, qMax(1.0, widthTwips));

    int drawn = 0;
    for (;;) {
        double top = 0;
        double used = 0;
        const int next = pages.Format(start, heightTwips, top, used);
        // A page that places nothing (a rectangle lower than the line, an object taller than
        // the page) would be followed by the same page forever: stop before opening it.
        if (next < pages.length && next <= start)
            break;
        if (drawn > 0) {
            const int before = FCanvasPageNo;
            NewPage();
            if (FCanvasPageNo == before || !FPageCanvas)
                break;   // only a recording can open pages
        }
        pages.Draw(*FPageCanvas, rect, scaleX, scaleY, top, used);
        ++drawn;
        start = next;
        if (start >= pages.length || (maxPages > 0 && drawn >= maxPages))
            break;
    }
    if (offset)
        *offset = start >= pages.length ? -1 : start;
    return drawn;
}

int TPrintPreview::GetRichTextRect(QRect &rect, const QTextDocument &richText, int *offset)
{
    const int start = offset ? qMax(0, *offset) : 0;
    const double widthTwips = ConvertX(rect.width(), FUnits, mmTWIPS);
    const double heightTwips = ConvertY(rect.height(), FUnits, mmTWIPS);
    const RichTextPages pages(richText, qMax(1.0, widthTwips));
    double top = 0;
    double used = 0;
    const int next = pages.Format(start, heightTwips, top, used);
    rect.setHeight(ConvertY(RoundHalfEven(used), mmTWIPS, FUnits));
    if (offset)
        *offset = next >= pages.length ? -1 : next;
    return rect.top() + rect.height();
}
