#include "preview/print_preview.h"

#include "preview/gray_conversion.h"
#include "preview/metafile.h"
#include "preview/metafile_list.h"
#include "preview/page_picture_access_p.h"
#include "preview/preview_errors.h"
#include "preview/preview_stream.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int WheelNotch = 120;
constexpr int LineStep = 8;
constexpr int WheelLines = 5;

// Keeps a layout from being redone while it runs (the scroll bars' own signals would).
struct LayoutGuard {
    bool &flag;
    explicit LayoutGuard(bool &f) : flag(f) { flag = true; }
    ~LayoutGuard() { flag = false; }
};

} // namespace

TPrintPreview::TPrintPreview(QWidget *parent)
    : QAbstractScrollArea(parent), FPageList(std::make_unique<TMetafileList>()),
      FColor(palette().color(QPalette::Window))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::TabFocus);
    setFont(QFont(QStringLiteral("Arial"), 8));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setSingleStep(LineStep);
    verticalScrollBar()->setSingleStep(LineStep);
    // the viewport paints everything around the paper itself
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);

    FPaperViewOptions = new TPaperPreviewOptions(this);
    FPaperView = new TPaperPreview(viewport());
    FPaperView->SetColor(FColor);
    FPaperView->hide();
    FPaperView->installEventFilter(this);
    FPaperViewOptions->AssignTo(FPaperView);
    FPaperView->setCursor(FPaperViewOptions->Cursor());
    connect(FPaperViewOptions, &TPaperPreviewOptions::OnChange, this,
            [this](TPaperPreviewOptions *, TUpdateSeverity severity) { PaperViewOptionsChanged(severity); });
    connect(FPaperView, &TPaperPreview::OnPaint, this,
            [this](TPaperPreview *, QPainter *canvas, const QRect &pageRect) { PaperViewPaint(*canvas, pageRect); });

    FPageList->SetOnMultipleChange([this](TMetafileList *, int startIndex, int endIndex) { PagesChanged(startIndex, endIndex); });
    FPageList->SetOnSingleChange([this](TMetafileList *, int index) { PageChanged(index); });

    ApplyPaperType();
    UpdateExtends();
}

TPrintPreview::~TPrintPreview()
{
    // views may outlive the control; they must not call back into it
    const QList<TThumbnailViewer *> views = FThumbnailViews;
    FThumbnailViews.clear();
    for (TThumbnailViewer *view : views)
        view->PreviewDestroyed();
    FPageCanvas.reset();
    FPageList->SetOnMultipleChange(nullptr);
    FPageList->SetOnSingleChange(nullptr);
}

// ---------------------------------------------------------------- units

int TPrintPreview::ScreenPixelsPerInch() const
{
    if (FScreenPixelsPerInch > 0)
        return FScreenPixelsPerInch;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return qMax(1, qRound(screen->logicalDotsPerInchY()));
    return 96;
}

void TPrintPreview::SetScreenPixelsPerInch(int value)
{
    FScreenPixelsPerInch = value;
    UpdateExtends();
    UpdateZoom();
}

int TPrintPreview::HorzPixelsPerInch() const
{
    return FReferenceDevice ? qMax(1, FReferenceDevice->logicalDpiX()) : ScreenPixelsPerInch();
}

int TPrintPreview::VertPixelsPerInch() const
{
    return FReferenceDevice ? qMax(1, FReferenceDevice->logicalDpiY()) : ScreenPixelsPerInch();
}

void TPrintPreview::SetReferenceDevice(QPaintDevice *device)
{
    FReferenceDevice = device;
    UpdateExtends();
}

int TPrintPreview::ConvertX(int x, TUnits inUnits, TUnits outUnits) const
{
    return ConvertUnits(x, HorzPixelsPerInch(), inUnits, outUnits);
}

int TPrintPreview::ConvertY(int y, TUnits inUnits, TUnits outUnits) const
{
    return ConvertUnits(y, VertPixelsPerInch(), inUnits, outUnits);
}

QPoint TPrintPreview::ConvertXY(int x, int y, TUnits inUnits, TUnits outUnits) const
{
    return QPoint(ConvertX(x, inUnits, outUnits), ConvertY(y, inUnits, outUnits));
}

void TPrintPreview::ConvertPoints(QPoint *points, int numPoints, TUnits inUnits, TUnits outUnits) const
{
    for (int i = 0; i < numPoints; ++i)
        points[i] = ConvertXY(points[i].x(), points[i].y(), inUnits, outUnits);
}

int TPrintPreview::XFrom(TUnits units, int x) const
{
    return ConvertX(x, units, FUnits);
}

int TPrintPreview::YFrom(TUnits units, int y) const
{
    return ConvertY(y, units, FUnits);
}

QPoint TPrintPreview::PointFrom(TUnits units, int x, int y) const
{
    return ConvertXY(x, y, units, FUnits);
}

QRect TPrintPreview::RectFrom(TUnits units, int left, int top, int right, int bottom) const
{
    const QPoint topLeft = PointFrom(units, left, top);
    const QPoint bottomRight = PointFrom(units, right, bottom);
    return QRect(topLeft.x(), topLeft.y(), bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y());
}

QRect TPrintPreview::BoundsFrom(TUnits units, int left, int top, int width, int height) const
{
    return RectFrom(units, left, top, left + width, top + height);
}

TUnits TPrintPreview::SystemDefaultUnits()
{
    return QLocale::system().measurementSystem() == QLocale::MetricSystem ? mmHiMetric : mmHiEnglish;
}

TUnits TPrintPreview::UserDefaultUnits()
{
    return QLocale().measurementSystem() == QLocale::MetricSystem ? mmHiMetric : mmHiEnglish;
}

void TPrintPreview::SetUnits(TUnits value)
{
    if (FUnits == value)
        return;
    const TUnits old = FUnits;
    if (FPaperType == pCustom)
        FPageExt = QPoint(ConvertX(FPageExt.x(), old, value), ConvertY(FPageExt.y(), old, value));
    if (FPageCanvas) {
        QPen pen = FPageCanvas->pen();
        pen.setWidth(ConvertX(pen.width(), old, value));
        FPageCanvas->setPen(pen);
    }
    FUnits = value;
    if (FPaperType != pCustom)
        ApplyPaperType();
    if (FPageCanvas)
        ScaleCanvas(*FPageCanvas);
}

// ---------------------------------------------------------------- screen mapping

QPoint TPrintPreview::ScreenToPreview(int x, int y) const
{
    const int screen = ScreenPixelsPerInch();
    return QPoint(ConvertX(MulDiv(x, HorzPixelsPerInch(), screen), mmPixel, FUnits),
                  ConvertY(MulDiv(y, VertPixelsPerInch(), screen), mmPixel, FUnits));
}

QPoint TPrintPreview::PreviewToScreen(int x, int y) const
{
    const int screen = ScreenPixelsPerInch();
    return QPoint(MulDiv(ConvertX(x, FUnits, mmPixel), screen, HorzPixelsPerInch()),
                  MulDiv(ConvertY(y, FUnits, mmPixel), screen, VertPixelsPerInch()));
}

QPoint TPrintPreview::ScreenToPaper(const QPoint &pt) const
{
    return ClientToPaper(viewport()->mapFromGlobal(pt));
}

QPoint TPrintPreview::PaperToScreen(const QPoint &pt) const
{
    return viewport()->mapToGlobal(PaperToClient(pt));
}

QPoint TPrintPreview::ClientToPaper(const QPoint &pt) const
{
    const QPoint onPaper = FPaperView->ClientToPaper(pt - FPaperView->pos());
    const int zoom = qMax(1, FZoom);
    return ScreenToPreview(MulDiv(onPaper.x(), 100, zoom), MulDiv(onPaper.y(), 100, zoom));
}

QPoint TPrintPreview::PaperToClient(const QPoint &pt) const
{
    const QPoint screen = PreviewToScreen(pt.x(), pt.y());
    const QPoint onPaper(MulDiv(screen.x(), FZoom, 100), MulDiv(screen.y(), FZoom, 100));
    return FPaperView->PaperToClient(onPaper) + FPaperView->pos();
}

// ---------------------------------------------------------------- paper

void TPrintPreview::SetPageExt(int width, int height)
{
    FPageExt = QPoint(qMax(1, width), qMax(1, height));
}

void TPrintPreview::ApplyPaperType()
{
    if (FPaperType == pCustom)
        return;
    const TPaperSizeInfo &info = PaperSizeInfo(FPaperType);
    const int width = ConvertX(info.Width, info.Units, FUnits);
    const int height = ConvertY(info.Height, info.Units, FUnits);
    if (FOrientation == poLandscape)
        SetPageExt(height, width);
    else
        SetPageExt(width, height);
}

void TPrintPreview::SetPaperType(TPaperType value)
{
    if (value == FPaperType || FState != psReady || int(value) < 0 || int(value) > int(pCustom))
        return;
    FPaperType = value;
    if (value == pCustom)
        return;
    ApplyPaperType();
    PaperChanged();
}

void TPrintPreview::SetPaperWidth(int value)
{
    value = qMax(1, value);
    if (value == FPageExt.x() || FState != psReady)
        return;
    SetPageExt(value, FPageExt.y());
    FPaperType = FOrientation == poLandscape
        ? FindPaperTypeBySize(ConvertX(FPageExt.y(), FUnits, mmHiMetric), ConvertY(FPageExt.x(), FUnits, mmHiMetric), mmHiMetric)
        : FindPaperTypeBySize(ConvertX(FPageExt.x(), FUnits, mmHiMetric), ConvertY(FPageExt.y(), FUnits, mmHiMetric), mmHiMetric);
    PaperChanged();
}

void TPrintPreview::SetPaperHeight(int value)
{
    value = qMax(1, value);
    if (value == FPageExt.y() || FState != psReady)
        return;
    SetPageExt(FPageExt.x(), value);
    FPaperType = FOrientation == poLandscape
        ? FindPaperTypeBySize(ConvertX(FPageExt.y(), FUnits, mmHiMetric), ConvertY(FPageExt.x(), FUnits, mmHiMetric), mmHiMetric)
        : FindPaperTypeBySize(ConvertX(FPageExt.x(), FUnits, mmHiMetric), ConvertY(FPageExt.y(), FUnits, mmHiMetric), mmHiMetric);
    PaperChanged();
}

void TPrintPreview::SetOrientation(TPrinterOrientation value)
{
    if (value == FOrientation || FState != psReady)
        return;
    FOrientation = value;
    SetPageExt(FPageExt.y(), FPageExt.x());
    PaperChanged();
}

void TPrintPreview::SetPaperSizeOrientation(int width, int height, TPrinterOrientation orientation)
{
    width = qMax(1, width);
    height = qMax(1, height);
    if (orientation == FOrientation && width == FPageExt.x() && height == FPageExt.y())
        return;
    FOrientation = orientation;
    SetPageExt(width, height);
    const QPoint portrait = orientation == poLandscape ? QPoint(height, width) : QPoint(width, height);
    FPaperType = FindPaperTypeBySize(ConvertX(portrait.x(), FUnits, mmHiMetric), ConvertY(portrait.y(), FUnits, mmHiMetric), mmHiMetric);
    PaperChanged();
}

void TPrintPreview::PaperChanged()
{
    UpdateExtends();
    UpdateZoom();
    emit OnPaperChange(this);
}

void TPrintPreview::UpdateExtends()
{
    FDeviceExt = QPoint(qMax(1, ConvertX(FPageExt.x(), FUnits, mmPixel)), qMax(1, ConvertY(FPageExt.y(), FUnits, mmPixel)));
    const int screen = ScreenPixelsPerInch();
    // a zero extent would divide the zoom arithmetic by zero
    FLogicalExt = QPoint(qMax(1, MulDiv(FDeviceExt.x(), screen, HorzPixelsPerInch())),
                         qMax(1, MulDiv(FDeviceExt.y(), screen, VertPixelsPerInch())));
}

// ---------------------------------------------------------------- zoom

void TPrintPreview::SetZoom(int value)
{
    value = qBound(FZoomMin, value, FZoomMax);
    if (value == FZoom && FZoomState == zsZoomOther)
        return;
    const int before = FZoom;
    FZoom = value;
    FZoomState = zsZoomOther;
    UpdateZoom();
    if (FZoom == before)
        emit OnZoomChange(this);
}

void TPrintPreview::SetZoomState(TZoomState value)
{
    if (value == FZoomState)
        return;
    const int before = FZoom;
    FZoomState = value;
    UpdateZoom();
    if (FZoom == before)
        emit OnZoomChange(this);
}

void TPrintPreview::SetZoomMin(int value)
{
    if (value == FZoomMin || value <= 0 || value > FZoomMax)
        return;
    FZoomMin = value;
    if (FZoomState == zsZoomOther && FZoom < FZoomMin)
        SetZoom(FZoomMin);
}

void TPrintPreview::SetZoomMax(int value)
{
    if (value == FZoomMax || value < FZoomMin)
        return;
    FZoomMax = value;
    if (FZoomState == zsZoomOther && FZoom > FZoomMax)
        SetZoom(FZoomMax);
}

void TPrintPreview::SetMargins(int horz, int vert)
{
    FHorzMargin = qMax(0, horz);
    FVertMargin = qMax(0, vert);
    UpdateZoom();
}

void TPrintPreview::UpdateZoom()
{
    SyncPaperView(-1, -1);
}

QPoint TPrintPreview::CalculateViewSize(const QPoint &space)
{
    const int lx = FLogicalExt.x();
    const int ly = FLogicalExt.y();
    const TPaperPreview &paper = *FPaperView;
    // the paper itself never shrinks below one pixel, however small the space
    auto paperW = [&](int outer) { return qMax(1, paper.LogicalWidth(outer)); };
    auto paperH = [&](int outer) { return qMax(1, paper.LogicalHeight(outer)); };
    QPoint size;
    TZoomState state = FZoomState;
    if (state == zsZoomToFit)
        state = double(space.y()) / space.x() > double(ly) / lx ? zsZoomToWidth : zsZoomToHeight;
    switch (state) {
    case zsZoomOther:
        size = QPoint(paper.ActualWidth(qMax(1, MulDiv(lx, FZoom, 100))), paper.ActualHeight(qMax(1, MulDiv(ly, FZoom, 100))));
        break;
    case zsZoomToWidth:
        size.setX(qMax(space.x(), paper.ActualWidth(1)));
        size.setY(paper.ActualHeight(qMax(1, MulDiv(paperW(size.x()), ly, lx))));
        break;
    case zsZoomToHeight:
    case zsZoomToFit:
        size.setY(qMax(space.y(), paper.ActualHeight(1)));
        size.setX(paper.ActualWidth(qMax(1, MulDiv(paperH(size.y()), lx, ly))));
        break;
    }
    if (FZoomState != zsZoomOther)
        FZoom = qMax(1, RoundHalfEven(paperH(size.y()) * 100.0 / ly));
    return size;
}

int TPrintPreview::ScrollRange(Qt::Orientation orientation) const
{
    const QScrollBar *bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int client = orientation == Qt::Horizontal ? viewport()->width() : viewport()->height();
    const int margin = orientation == Qt::Horizontal ? FHorzMargin : FVertMargin;
    const int extent = orientation == Qt::Horizontal ? FPaperView->width() : FPaperView->height();
    const int start = orientation == Qt::Horizontal ? FContentPos.x() : FContentPos.y();
    if (bar->maximum() > 0)
        return bar->maximum() + client;
    // without scrolling the content ends with the paper plus its margin
    return start + extent + margin;
}

void TPrintPreview::SyncPaperView(int x, int y)
{
    if (FInLayout)
        return;
    const bool hasPages = FPageList->Count() > 0;
    if (!hasPages)
        return;
    QScrollBar *hbar = horizontalScrollBar();
    QScrollBar *vbar = verticalScrollBar();
    const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, hbar);
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vbar);
    const bool hbarShown = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const bool vbarShown = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;

    // a refused size is retried once at the zoom the widget did take; more tries would
    // compute the same size again
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QSize client = contentsRect().size() - QSize(vbarShown ? barWidth : 0, hbarShown ? barHeight : 0);
        QPoint space(client.width() - 2 * FHorzMargin, client.height() - 2 * FVertMargin);
        if (space.x() <= 0 || space.y() <= 0)
            return;

        int relX = 0;
        int relY = 0;
        if (FZoomSavePos && FCurrentPage > 0) {
            // a range equal to the space (nothing to scroll) gives -1 here, taken as 0
            relX = qMax(0, MulDiv(hbar->value(), 100, ScrollRange(Qt::Horizontal) - space.x()));
            relY = qMax(0, MulDiv(vbar->value(), 100, ScrollRange(Qt::Vertical) - space.y()));
        }
        if (hbarShown)
            space.ry() += barHeight;
        if (vbarShown)
            space.rx() += barWidth;

        LayoutGuard guard(FInLayout);
        viewport()->setUpdatesEnabled(false);
        hbar->setValue(0);
        vbar->setValue(0);

        QPoint viewSize = CalculateViewSize(space);
        FCanScrollHorz = viewSize.x() > space.x();
        FCanScrollVert = viewSize.y() > space.y();
        if (FCanScrollHorz) {
            space.ry() -= barHeight;
            viewSize = CalculateViewSize(space);
            FCanScrollVert = viewSize.y() > space.y();
            if (FCanScrollVert) {
                space.rx() -= barWidth;
                viewSize = CalculateViewSize(space);
            }
        } else if (FCanScrollVert) {
            space.rx() -= barWidth;
            viewSize = CalculateViewSize(space);
            FCanScrollHorz = viewSize.x() > space.x();
            if (FCanScrollHorz) {
                space.ry() -= barHeight;
                viewSize = CalculateViewSize(space);
            }
        }

        const int left = FCanScrollHorz ? FHorzMargin : (space.x() - viewSize.x()) / 2 + FHorzMargin;
        const int top = FCanScrollVert ? FVertMargin : (space.y() - viewSize.y()) / 2 + FVertMargin;
        FContentPos = QPoint(left, top);
        setHorizontalScrollBarPolicy(FCanScrollHorz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(FCanScrollVert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        const int clientW = space.x() + 2 * FHorzMargin;
        const int clientH = space.y() + 2 * FVertMargin;
        hbar->setRange(0, FCanScrollHorz ? viewSize.x() + 2 * FHorzMargin - clientW : 0);
        hbar->setPageStep(clientW);
        vbar->setRange(0, FCanScrollVert ? viewSize.y() + 2 * FVertMargin - clientH : 0);
        vbar->setPageStep(clientH);
        FPaperView->setGeometry(left, top, viewSize.x(), viewSize.y());

        if (FCurrentPage > 0) {
            if (FCanScrollHorz) {
                const int range = ScrollRange(Qt::Horizontal);
                if (x >= 0)
                    hbar->setValue(MulDiv(x, range, FLogicalExt.x()));
                else if (FZoomSavePos)
                    hbar->setValue(MulDiv(relX, range - space.x(), 100));
            }
            if (FCanScrollVert) {
                const int range = ScrollRange(Qt::Vertical);
                if (y >= 0)
                    vbar->setValue(MulDiv(y, range, FLogicalExt.y()));
                else if (FZoomSavePos)
                    vbar->setValue(MulDiv(relY, range - space.y(), 100));
            }
        }
        PlaceAtScroll();
        viewport()->setUpdatesEnabled(true);
        viewport()->update();
        EndDrag();

        if (FPaperView->size() == QSize(viewSize.x(), viewSize.y())) {
            if (FZoom != FLastZoom) {
                FLastZoom = FZoom;
                emit OnZoomChange(this);
            }
            SyncThumbnail();
            return;
        }
        // the widget did not take the size: show it at the zoom it can take
        const int step = qMax(1, FZoomStep);
        const int zoomW = MulDiv(100, FPaperView->width(), FLogicalExt.x()) / step * step;
        const int zoomH = MulDiv(100, FPaperView->height(), FLogicalExt.y()) / step * step;
        FZoom = qMax(1, qMin(zoomW, zoomH));
        FZoomState = zsZoomOther;
    }
}

void TPrintPreview::PlaceAtScroll()
{
    FPaperView->move(FContentPos - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

void TPrintPreview::EndDrag()
{
    FIsDragging = false;
    FPaperView->setCursor(FCanScrollHorz || FCanScrollVert ? FPaperViewOptions->DragCursor() : FPaperViewOptions->Cursor());
}

QRect TPrintPreview::GetVisiblePageRect() const
{
    const QRect page = FPaperView->PageRect().translated(FPaperView->pos());
    QRect visible = page & viewport()->rect();
    visible.translate(-FPaperView->pos());
    visible.translate(-FPaperView->BorderWidth(), -FPaperView->BorderWidth());
    const int zoom = qMax(1, FZoom);
    const int left = MulDiv(visible.left(), 100, zoom);
    const int top = MulDiv(visible.top(), 100, zoom);
    const int right = MulDiv(visible.left() + visible.width(), 100, zoom);
    const int bottom = MulDiv(visible.top() + visible.height(), 100, zoom);
    return QRect(left, top, right - left, bottom - top);
}

void TPrintPreview::SetVisiblePageRect(const QRect &rect)
{
    const int availW = viewport()->width() - 2 * FHorzMargin;
    const int availH = viewport()->height() - 2 * FVertMargin;
    const int needW = FPaperView->ActualWidth(rect.width());
    const int needH = FPaperView->ActualHeight(rect.height());
    if (availW <= 0 || availH <= 0 || needW <= 0 || needH <= 0)
        return;
    const int before = FLastZoom;
    const int zoom = double(availH) / needH > double(availW) / needW ? MulDiv(100, availW, needW) : MulDiv(100, availH, needH);
    FZoom = qBound(1, zoom, FZoomMax);
    const TZoomState oldState = FZoomState;
    FZoomState = zsZoomOther;
    SyncPaperView(rect.left(), rect.top());
    if (FZoom == before) {
        SyncThumbnail();
        if (oldState != zsZoomOther)
            emit OnZoomChange(this);
    }
}

// ---------------------------------------------------------------- pages

int TPrintPreview::TotalPages() const
{
    return FPageList->Count();
}

int TPrintPreview::CacheSize() const
{
    return FPageList->CacheSize();
}

void TPrintPreview::SetCacheSize(int value)
{
    FPageList->SetCacheSize(value);
}

TMetafile *TPrintPreview::GetPages(int pageNo) const
{
    if (pageNo < 1 || pageNo > FPageList->Count())
        return nullptr;
    return FPageList->GetMetafiles(pageNo - 1);
}

void TPrintPreview::SetCurrentPage(int value)
{
    if (TotalPages() == 0)
        return;
    value = qBound(1, value, TotalPages());
    if (value == FCurrentPage)
        return;
    FCurrentPage = value;
    BuildBackground(FCurrentPage);
    BuildAnnotation(FCurrentPage);
    FPaperView->Invalidate();
    SyncThumbnail();
    emit OnChange(this);
}

void TPrintPreview::ChangeState(TPreviewState newState)
{
    if (FState == newState)
        return;
    FState = newState;
    emit OnStateChange(this);
}

bool TPrintPreview::BeginOperation(TPreviewState state)
{
    if (FState != psReady)
        return false;
    ChangeState(state);
    return true;
}

void TPrintPreview::EndOperation(TPreviewState state)
{
    if (FState == state)
        ChangeState(psReady);
}

void TPrintPreview::PagesChanged(int startIndex, int endIndex)
{
    if (endIndex < 0) {
        FCurrentPage = 0;
        AnnotationMetafile.reset();
        BackgroundMetafile.reset();
        FPaperView->hide();
        viewport()->update();
        UpdateThumbnails(startIndex, endIndex);
        emit OnChange(this);
        return;
    }
    const bool firstPage = FCurrentPage == 0;
    bool repaint = false;
    if (firstPage) {
        FCurrentPage = 1;
        UpdateZoom();
        FPaperView->show();
        repaint = true;
    } else if (FCurrentPage > TotalPages()) {
        // pages were taken away behind the control's back
        FCurrentPage = TotalPages();
        repaint = true;
    } else if (FCurrentPage >= startIndex + 1 && FCurrentPage <= endIndex + 1) {
        repaint = true;
    } else if (startIndex > endIndex && FCurrentPage >= startIndex) {
        // The last pages were removed and the range is empty; the current page moved back
        // from a removed one onto the page before, which must be shown now.
        repaint = true;
    }
    if (repaint) {
        BuildBackground(FCurrentPage);
        BuildAnnotation(FCurrentPage);
        FPaperView->Invalidate();
    }
    FPaperView->update();
    if (firstPage)
        RebuildThumbnails();
    else
        UpdateThumbnails(startIndex, endIndex);
    emit OnChange(this);
}

void TPrintPreview::PageChanged(int index)
{
    if (index + 1 == FCurrentPage) {
        BuildBackground(FCurrentPage);
        BuildAnnotation(FCurrentPage);
        FPaperView->Invalidate();
    }
    RepaintThumbnails(index, index);
    emit OnChange(this);
}

void TPrintPreview::PaperViewOptionsChanged(TUpdateSeverity severity)
{
    FPaperViewOptions->AssignTo(FPaperView);
    EndDrag();
    if (severity == usRecreate)
        UpdateZoom();
}

// ---------------------------------------------------------------- display

void TPrintPreview::SetColor(const QColor &value)
{
    if (FColor == value)
        return;
    FColor = value;
    FPaperView->SetColor(value);
    viewport()->update();
}

void TPrintPreview::PaintViewport(QPaintEvent *event)
{
    QPainter painter(viewport());
    QRegion area = event->region();
    if (FPaperView->isVisible())
        area -= FPaperView->geometry();
    for (const QRect &r : area)
        painter.fillRect(r, FColor);
}

void TPrintPreview::PaperViewPaint(QPainter &canvas, const QRect &pageRect)
{
    if (FCurrentPage < 1 || FCurrentPage > TotalPages())
        return;
    PaintPage(FCurrentPage, canvas, pageRect);
    if (FShowPrintableArea) {
        const double sx = double(pageRect.width()) / qMax(1, PaperWidth());
        const double sy = double(pageRect.height()) / qMax(1, PaperHeight());
        const QRect b = PrinterPageBounds();
        canvas.save();
        QPen pen(FPrintableAreaColor, 0, Qt::DotLine);
        canvas.setPen(pen);
        canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        const int x1 = pageRect.left() + RoundHalfEven(b.left() * sx);
        const int x2 = pageRect.left() + RoundHalfEven((b.left() + b.width()) * sx);
        const int y1 = pageRect.top() + RoundHalfEven(b.top() * sy);
        const int y2 = pageRect.top() + RoundHalfEven((b.top() + b.height()) * sy);
        const int right = pageRect.left() + pageRect.width();
        const int bottom = pageRect.top() + pageRect.height();
        canvas.drawLine(x1, pageRect.top(), x1, bottom);
        canvas.drawLine(x2, pageRect.top(), x2, bottom);
        canvas.drawLine(pageRect.left(), y1, right, y1);
        canvas.drawLine(pageRect.left(), y2, right, y2);
        canvas.restore();
    }
}

void TPrintPreview::PaintPage(int pageNo, QPainter &canvas, const QRect &rect)
{
    if (BackgroundMetafile)
        PlayPagePicture(*BackgroundMetafile, canvas, rect);
    DrawPage(pageNo, canvas, rect, FGrayscale.testFlag(gsPreview));
    if (AnnotationMetafile)
        PlayPagePicture(*AnnotationMetafile, canvas, rect);
}

void TPrintPreview::DrawPage(int pageNo, QPainter &canvas, const QRect &rect, bool gray)
{
    TMetafile *page = GetPages(pageNo);
    if (!page)
        return;
    if (!gray) {
        PlayPagePicture(*page, canvas, rect);
        return;
    }
    QRect visible = canvas.hasClipping() ? (canvas.clipBoundingRect().toAlignedRect() & rect) : rect;
    if (visible.isEmpty())
        return;
    visible.adjust(-1, -1, 1, 1);
    const QColor paper = FPaperView->PaperColor();
    QImage image(visible.size(), QImage::Format_ARGB32);
    image.fill(paper);
    {
        QPainter painter(&image);
        PlayPagePicture(*page, painter, rect.translated(-visible.topLeft()));
    }
    // the paper stays unpainted, so that what lies under the page (its background) shows
    ConvertToGrayscale(image, FGrayBrightness, FGrayContrast, paper.rgb());
    canvas.drawImage(visible.topLeft(), image);
}

void TPrintPreview::SetGrayscale(TGrayscaleOptions value)
{
    if (value == FGrayscale)
        return;
    FGrayscale = value;
    FPaperView->Invalidate();
    RecolorThumbnails(false);
}

void TPrintPreview::SetGrayBrightness(int value)
{
    value = qBound(-100, value, 100);
    if (value == FGrayBrightness)
        return;
    FGrayBrightness = value;
    if (FGrayscale.testFlag(gsPreview)) {
        FPaperView->Invalidate();
        RecolorThumbnails(true);
    }
}

void TPrintPreview::SetGrayContrast(int value)
{
    value = qBound(-100, value, 100);
    if (value == FGrayContrast)
        return;
    FGrayContrast = value;
    if (FGrayscale.testFlag(gsPreview)) {
        FPaperView->Invalidate();
        RecolorThumbnails(true);
    }
}

void TPrintPreview::SetShowPrintableArea(bool value)
{
    if (value == FShowPrintableArea)
        return;
    FShowPrintableArea = value;
    FPaperView->Invalidate();
}

void TPrintPreview::SetPrintableAreaColor(const QColor &value)
{
    if (value == FPrintableAreaColor)
        return;
    FPrintableAreaColor = value;
    if (FShowPrintableArea)
        FPaperView->Invalidate();
}

// ---------------------------------------------------------------- thumbnails

void TPrintPreview::RegisterThumbnailViewer(TThumbnailViewer *viewer)
{
    if (viewer && !FThumbnailViews.contains(viewer))
        FThumbnailViews.append(viewer);
}

void TPrintPreview::UnregisterThumbnailViewer(TThumbnailViewer *viewer)
{
    FThumbnailViews.removeAll(viewer);
}

void TPrintPreview::RebuildThumbnails()
{
    for (TThumbnailViewer *view : FThumbnailViews)
        view->Rebuild();
}

void TPrintPreview::UpdateThumbnails(int startIndex, int endIndex)
{
    for (TThumbnailViewer *view : FThumbnailViews)
        view->UpdateItems(startIndex, endIndex);
}

void TPrintPreview::RepaintThumbnails(int startIndex, int endIndex)
{
    for (TThumbnailViewer *view : FThumbnailViews)
        view->RepaintItems(startIndex, endIndex);
}

void TPrintPreview::RecolorThumbnails(bool onlyGray)
{
    for (TThumbnailViewer *view : FThumbnailViews) {
        if (!onlyGray)
            view->UpdateGrayscale();
        else if (view->IsGrayscaled())
            view->RepaintItems(0, TotalPages() - 1);
    }
}

void TPrintPreview::SyncThumbnail()
{
    for (TThumbnailViewer *view : FThumbnailViews)
        view->SyncCurrent();
}

// ---------------------------------------------------------------- input

void TPrintPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateZoom();
}

void TPrintPreview::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    UpdateZoom();
}

void TPrintPreview::scrollContentsBy(int, int)
{
    if (FInLayout)
        return;
    PlaceAtScroll();
    SyncThumbnail();
}

bool TPrintPreview::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        PaintViewport(static_cast<QPaintEvent *>(event));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TPrintPreview::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    const bool none = mods == Qt::NoModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool shift = mods == Qt::ShiftModifier;
    QScrollBar *hbar = horizontalScrollBar();
    QScrollBar *vbar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        if (none)
            return hbar->triggerAction(QAbstractSlider::SliderToMinimum);
        if (ctrl)
            return vbar->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        if (none)
            return hbar->triggerAction(QAbstractSlider::SliderToMaximum);
        if (ctrl)
            return vbar->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool forward = event->key() == Qt::Key_Right;
        if (none)
            return hbar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        if (ctrl)
            return hbar->triggerAction(forward ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        if (shift)
            return hbar->setValue(hbar->value() + (forward ? 1 : -1));
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool forward = event->key() == Qt::Key_Down;
        if (none)
            return vbar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        if (ctrl)
            return vbar->triggerAction(forward ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        if (shift)
            return vbar->setValue(vbar->value() + (forward ? 1 : -1));
        break;
    }
    case Qt::Key_PageDown:
        if (none)
            return SetCurrentPage(FCurrentPage + 1);
        if (ctrl)
            return SetCurrentPage(TotalPages());
        break;
    case Qt::Key_PageUp:
        if (none)
            return SetCurrentPage(FCurrentPage - 1);
        if (ctrl)
            return SetCurrentPage(1);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if ((keypad && none && event->key() == Qt::Key_Plus) || (!keypad && ctrl))
            return SetZoom(FZoom + FZoomStep);
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        if ((keypad && none && event->key() == Qt::Key_Minus) || (!keypad && ctrl))
            return SetZoom(FZoom - FZoomStep);
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TPrintPreview::wheelEvent(QWheelEvent *event)
{
    const QPoint pos = mapFromGlobal(event->globalPosition().toPoint());
    if (!rect().contains(pos)) {
        event->ignore();
        return;
    }
    event->accept();
    WheelAccumulator += event->angleDelta().y();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool plain = mods == Qt::NoModifier && event->buttons() == Qt::NoButton;
    const bool ctrl = mods == Qt::ControlModifier && event->buttons() == Qt::NoButton;
    while (qAbs(WheelAccumulator) >= WheelNotch) {
        const bool towardsUser = WheelAccumulator < 0;
        WheelAccumulator += towardsUser ? WheelNotch : -WheelNotch;
        if (plain) {
            for (int i = 0; i < WheelLines; ++i)
                verticalScrollBar()->triggerAction(towardsUser ? QAbstractSlider::SliderSingleStepAdd
                                                               : QAbstractSlider::SliderSingleStepSub);
        } else if (ctrl) {
            SetZoom(towardsUser ? FZoom - FZoomStep : FZoom + FZoomStep);
        } else {
            event->ignore();
        }
    }
}

void TPrintPreview::PaperMouse(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint controlPos = FPaperView->mapTo(this, pos);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (focusPolicy() != Qt::NoFocus)
            setFocus(Qt::MouseFocusReason);
        if (event->button() == Qt::LeftButton && (FCanScrollHorz || FCanScrollVert)) {
            FIsDragging = true;
            FPaperView->setCursor(FPaperViewOptions->GrabCursor());
        }
        FOldMousePos = pos;
        emit OnMouseDown(this, event->button(), event->modifiers(), controlPos);
        break;
    case QEvent::MouseMove:
        if (FIsDragging && event->buttons().testFlag(Qt::LeftButton)) {
            const QPoint delta = pos - FOldMousePos;
            bool moved = false;
            if (FCanScrollHorz && delta.x() != 0) {
                QScrollBar *bar = horizontalScrollBar();
                if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
                    bar->setValue(bar->value() - delta.x());
                else {
                    const int minLeft = viewport()->width() - FHorzMargin - FPaperView->width();
                    FPaperView->move(qBound(minLeft, FPaperView->x() + delta.x(), FHorzMargin), FPaperView->y());
                }
                moved = true;
            }
            if (FCanScrollVert && delta.y() != 0) {
                QScrollBar *bar = verticalScrollBar();
                if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
                    bar->setValue(bar->value() - delta.y());
                else {
                    const int minTop = viewport()->height() - FVertMargin - FPaperView->height();
                    FPaperView->move(FPaperView->x(), qBound(minTop, FPaperView->y() + delta.y(), FVertMargin));
                }
                moved = true;
            }
            if (moved)
                SyncThumbnail();
        }
        emit OnMouseMove(this, event->buttons(), event->modifiers(), controlPos);
        break;
    case QEvent::MouseButtonRelease:
        if (FIsDragging) {
            FIsDragging = false;
            FPaperView->setCursor(FPaperViewOptions->DragCursor());
        }
        emit OnMouseUp(this, event->button(), event->modifiers(), controlPos);
        if (event->button() == Qt::LeftButton && FPaperView->rect().contains(pos))
            emit OnClick(this);
        break;
    case QEvent::MouseButtonDblClick:
        emit OnDblClick(this);
        break;
    default:
        break;
    }
}

bool TPrintPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FPaperView) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            PaperMouse(static_cast<QMouseEvent *>(event));
            return true;
        default:
            break;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// ---------------------------------------------------------------- streams

void TPrintPreview::SaveToStream(QIODevice &stream)
{
    if (!BeginOperation(psSaving))
        throw EPreviewSaveError();
    try {
        TPreviewPageHeader header;
        header.Orientation = int(FOrientation);
        header.PaperType = int(FPaperType);
        header.Width = ConvertX(FPageExt.x(), FUnits, mmHiMetric);
        header.Height = ConvertY(FPageExt.y(), FUnits, mmHiMetric);
        Write_Preview_Page_Header(stream, header);
        FPageList->SaveToStream(stream);
    } catch (...) {
        EndOperation(psSaving);
        throw;
    }
    EndOperation(psSaving);
}

void TPrintPreview::ReadPreviewStream(QIODevice &stream)
{
    // a header with an impossible paper or size is refused before anything is applied
    const TPreviewPageHeader header = Read_Preview_Page_Header(stream);
    FOrientation = header.Orientation == 1 ? poLandscape : poPortrait;
    FPaperType = TPaperType(header.PaperType);
    SetPageExt(ConvertX(header.Width, mmHiMetric, FUnits), ConvertY(header.Height, mmHiMetric, FUnits));
    UpdateExtends();
    if (!FPageList->LoadFromStream(stream))
        throw EPreviewLoadError();
}

void TPrintPreview::LoadFromStream(QIODevice &stream)
{
    if (!BeginOperation(psLoading))
        throw EPreviewLoadError();
    try {
        ReadPreviewStream(stream);
    } catch (...) {
        EndOperation(psLoading);
        throw;
    }
    EndOperation(psLoading);
    UpdateZoom();
}

void TPrintPreview::SaveToFile(const QString &fileName)
{
    if (FState != psReady)
        throw EPreviewSaveError();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    SaveToStream(file);
    if (!file.flush())
        throw TError(QStringLiteral("Stream write error"));
}

void TPrintPreview::LoadFromFile(const QString &fileName)
{
    if (FState != psReady)
        throw EPreviewLoadError();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromStream(file);
}
