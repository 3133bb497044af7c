#pragma once

#include "preview/paper_preview.h"
#include "preview/paper_preview_options.h"
#include "preview/paper_types.h"
#include "preview/preview_graphic.h"
#include "preview/preview_units.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class QTextDocument;
class TMetafile;
class TMetafileList;

enum TZoomState { zsZoomOther, zsZoomToWidth, zsZoomToHeight, zsZoomToFit };

enum TPreviewState {
    psReady, psCreating, psPrinting, psEditing, psReplacing, psInserting,
    psLoading, psSaving, psSavingPDF, psSavingTIF
};

enum TPrinterOrientation { poPortrait, poLandscape };

enum TGrayscaleOption { gsPreview = 0x1, gsPrint = 0x2 };
Q_DECLARE_FLAGS(TGrayscaleOptions, TGrayscaleOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGrayscaleOptions)

enum TPageProcessingChoice { pcAccept, pcIgnore, pcCancellAll };

enum TVertAlign { vaTop, vaCenter, vaBottom };
enum THorzAlign { haLeft, haCenter, haRight };

// The owner's record of which file each page came from; the control never reads it.
struct TPageFileMap {
    int PageNumber = 0;
    QString FileName;
};
using TPageFileMapArray = std::vector<TPageFileMap>;

// A view that lists the pages of a preview (the thumbnail strip). The preview tells every
// registered view about changes of its pages and of its current page.
class TThumbnailViewer
{
public:
    virtual ~TThumbnailViewer() = default;
    virtual void Rebuild() = 0;
    virtual void UpdateItems(int startIndex, int endIndex) = 0;
    virtual void RepaintItems(int startIndex, int endIndex) = 0;
    virtual void UpdateGrayscale() = 0;
    virtual bool IsGrayscaled() const = 0;
    // The current page or the visible part of it changed.
    virtual void SyncCurrent() = 0;
    // The preview is going away; the view must forget it.
    virtual void PreviewDestroyed() = 0;
};

// Records pages once as page pictures, keeps them in a page store and shows one at a time
// as a sheet of paper at a chosen zoom, scrolled by bars, keys, wheel and dragging.
//
// Pages are drawn by the owner on Canvas() between BeginDoc and EndDoc, in Units() measured
// from the paper's top-left corner; fonts for the canvas come from PageFont(). Page numbers
// are 1-based.
class TPrintPreview : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit TPrintPreview(QWidget *parent = nullptr);
    ~TPrintPreview() override;

    // --- units and conversions
    TUnits Units() const { return FUnits; }
    void SetUnits(TUnits value);
    int ConvertX(int x, TUnits inUnits, TUnits outUnits) const;
    int ConvertY(int y, TUnits inUnits, TUnits outUnits) const;
    QPoint ConvertXY(int x, int y, TUnits inUnits, TUnits outUnits) const;
    void ConvertPoints(QPoint *points, int numPoints, TUnits inUnits, TUnits outUnits) const;
    int XFrom(TUnits units, int x) const;
    int YFrom(TUnits units, int y) const;
    QPoint PointFrom(TUnits units, int x, int y) const;
    // Left, top, right, bottom converted; the result spans (left, top) to (right, bottom).
    QRect RectFrom(TUnits units, int left, int top, int right, int bottom) const;
    QRect BoundsFrom(TUnits units, int left, int top, int width, int height) const;
    static TUnits SystemDefaultUnits();
    static TUnits UserDefaultUnits();

    // --- screen mapping
    QPoint ScreenToPreview(int x, int y) const;
    QPoint PreviewToScreen(int x, int y) const;
    QPoint ScreenToPaper(const QPoint &pt) const;
    QPoint PaperToScreen(const QPoint &pt) const;
    QPoint ClientToPaper(const QPoint &pt) const;
    QPoint PaperToClient(const QPoint &pt) const;

    // Resolution of the page pictures: the reference device's when one is set (printing),
    // else the screen's.
    virtual int HorzPixelsPerInch() const;
    virtual int VertPixelsPerInch() const;
    // The screen's logical resolution; tests may fix it.
    int ScreenPixelsPerInch() const;
    void SetScreenPixelsPerInch(int value);
    QPaintDevice *ReferenceDevice() const { return FReferenceDevice; }
    void SetReferenceDevice(QPaintDevice *device);

    // --- paper
    TPaperType PaperType() const { return FPaperType; }
    void SetPaperType(TPaperType value);
    int PaperWidth() const { return FPageExt.x(); }
    void SetPaperWidth(int value);
    int PaperHeight() const { return FPageExt.y(); }
    void SetPaperHeight(int value);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation value);
    void SetPaperSizeOrientation(int width, int height, TPrinterOrientation orientation);
    bool IsPaperCustom() const { return FPaperType == pCustom; }
    bool IsPaperRotated() const { return FOrientation == poLandscape; }
    // The page in Units, in pixels of the reference device, and in screen pixels at 100 %.
    QPoint PageSize() const { return FPageExt; }
    QPoint PageDevicePixels() const { return FDeviceExt; }
    QPoint PageLogicalPixels() const { return FLogicalExt; }
    QRect PageBounds() const { return QRect(0, 0, FPageExt.x(), FPageExt.y()); }
    // The printable part of the page in Units; the whole page unless a printer says otherwise.
    virtual QRect PrinterPageBounds() const { return PageBounds(); }

    // --- zoom and layout
    int Zoom() const { return FZoom; }
    void SetZoom(int value);
    TZoomState ZoomState() const { return FZoomState; }
    void SetZoomState(TZoomState value);
    int ZoomMin() const { return FZoomMin; }
    void SetZoomMin(int value);
    int ZoomMax() const { return FZoomMax; }
    void SetZoomMax(int value);
    int ZoomStep() const { return FZoomStep; }
    void SetZoomStep(int value) { FZoomStep = qMax(1, value); }
    bool ZoomSavePos() const { return FZoomSavePos; }
    void SetZoomSavePos(bool value) { FZoomSavePos = value; }
    // Blank space kept around the paper, in pixels.
    int HorzMargin() const { return FHorzMargin; }
    int VertMargin() const { return FVertMargin; }
    void SetMargins(int horz, int vert);
    void UpdateZoom();
    // The visible part of the page in logical pixels at 100 %, and zooming to show a part.
    QRect GetVisiblePageRect() const;
    void SetVisiblePageRect(const QRect &rect);
    bool CanScrollHorz() const { return FCanScrollHorz; }
    bool CanScrollVert() const { return FCanScrollVert; }

    // --- pages
    int CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(int value);
    int TotalPages() const;
    TPreviewState State() const { return FState; }
    int CacheSize() const;
    void SetCacheSize(int value);
    // The stored picture of a page; nullptr for an invalid number.
    TMetafile *GetPages(int pageNo) const;
    TMetafileList &PageList() const { return *FPageList; }

    // --- recording and editing
    QPainter *Canvas() const { return FPageCanvas.get(); }
    int CanvasPageNo() const { return FCanvasPageNo; }
    // A copy of the font whose size is given in page units, so that its point size gives
    // the right height on Canvas().
    QFont PageFont(const QFont &font) const;
    void BeginDoc();
    void NewPage();
    void EndDoc();
    bool BeginEdit(int pageNo);
    void EndEdit(bool cancel = false);
    bool BeginReplace(int pageNo);
    void EndReplace(bool cancel = false);
    bool BeginInsert(int pageNo);
    void EndInsert(bool cancel = false);
    bool BeginAppend();
    void EndAppend(bool cancel = false);
    bool Delete(int pageNo);
    bool Move(int pageNo, int newPageNo);
    bool Exchange(int pageNo1, int pageNo2);
    void Clear();

    // --- overlays of the current page
    bool Annotation() const { return FAnnotation; }
    void SetAnnotation(bool value);
    bool Background() const { return FBackground; }
    void SetBackground(bool value);
    void UpdateAnnotation();
    void UpdateBackground();

    // --- drawing helpers for Canvas(); rectangles and points in Units
    QPoint PaintGraphic(int x, int y, const TPreviewGraphic &graphic);
    QRect PaintGraphicEx(const QRect &rect, const TPreviewGraphic &graphic, bool proportional, bool shrinkOnly, bool center);
    QRect PaintGraphicEx2(const QRect &rect, const TPreviewGraphic &graphic, TVertAlign vertAlign, THorzAlign horzAlign);
    QPoint PaintWinControl(int x, int y, QWidget *control);
    QRect PaintWinControlEx(const QRect &rect, QWidget *control, bool proportional, bool shrinkOnly, bool center);
    QRect PaintWinControlEx2(const QRect &rect, QWidget *control, TVertAlign vertAlign, THorzAlign horzAlign);
    // Draws rich text from the character offset *offset (0 when offset is null) into rect,
    // opening new pages as needed, at most maxPages (0: no limit). *offset receives the
    // first character not drawn, or -1 when the text is complete. Returns the pages drawn.
    int PaintRichText(const QRect &rect, const QTextDocument &richText, int maxPages, int *offset);
    // Measures without drawing; rect's bottom becomes that of the text that fits.
    int GetRichTextRect(QRect &rect, const QTextDocument &richText, int *offset);
    // Draws a graphic stretched into a rectangle of any painter.
    static void DrawGraphic(QPainter &canvas, const QRect &rect, const TPreviewGraphic &graphic);

    // --- display
    virtual void DrawPage(int pageNo, QPainter &canvas, const QRect &rect, bool gray);
    TGrayscaleOptions Grayscale() const { return FGrayscale; }
    void SetGrayscale(TGrayscaleOptions value);
    int GrayBrightness() const { return FGrayBrightness; }
    void SetGrayBrightness(int value);
    int GrayContrast() const { return FGrayContrast; }
    void SetGrayContrast(int value);
    bool ShowPrintableArea() const { return FShowPrintableArea; }
    void SetShowPrintableArea(bool value);
    QColor PrintableAreaColor() const { return FPrintableAreaColor; }
    void SetPrintableAreaColor(const QColor &value);
    // Background of the area around the paper.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &value);
    TPaperPreviewOptions &PaperView() const { return *FPaperViewOptions; }
    TPaperPreview *PaperViewControl() const { return FPaperView; }
    QString PrintJobTitle() const { return FPrintJobTitle; }
    void SetPrintJobTitle(const QString &value) { FPrintJobTitle = value; }

    // --- streams and files (a preview stream: page header, then the page list)
    void SaveToStream(QIODevice &stream);
    void LoadFromStream(QIODevice &stream);
    void SaveToFile(const QString &fileName);
    void LoadFromFile(const QString &fileName);

    // --- for the exports and printing: a long operation claims the control while it runs.
    // BeginOperation fails unless the control is ready; EndOperation returns to psReady only
    // from the state that was claimed.
    bool BeginOperation(TPreviewState state);
    void EndOperation(TPreviewState state);

    // --- thumbnail views
    void RegisterThumbnailViewer(TThumbnailViewer *viewer);
    void UnregisterThumbnailViewer(TThumbnailViewer *viewer);

    TPageFileMapArray PageFileMap;

signals:
    void OnBeginDoc(TPrintPreview *sender);
    void OnEndDoc(TPrintPreview *sender);
    void OnNewPage(TPrintPreview *sender);
    void OnEndPage(TPrintPreview *sender);
    void OnChange(TPrintPreview *sender);
    void OnStateChange(TPrintPreview *sender);
    void OnZoomChange(TPrintPreview *sender);
    void OnPaperChange(TPrintPreview *sender);
    void OnAnnotation(TPrintPreview *sender, int pageNo, QPainter *canvas);
    void OnBackground(TPrintPreview *sender, int pageNo, QPainter *canvas);
    // Mouse on the paper, in the control's coordinates.
    void OnClick(TPrintPreview *sender);
    void OnDblClick(TPrintPreview *sender);
    void OnMouseDown(TPrintPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseMove(TPrintPreview *sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseUp(TPrintPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);

protected:
    void ChangeState(TPreviewState newState);
    virtual void PaperChanged();
    virtual void UpdateExtends();
    virtual QPoint CalculateViewSize(const QPoint &space);
    virtual void SyncPaperView(int x, int y);
    virtual void PaintPage(int pageNo, QPainter &canvas, const QRect &rect);
    virtual void BuildAnnotation(int pageNo);
    virtual void BuildBackground(int pageNo);
    // Opens a recording canvas on a new page picture of the page's device size.
    virtual void CreateMetafileCanvas(std::unique_ptr<TMetafile> &metafile, std::unique_ptr<QPainter> &canvas);
    virtual void CloseMetafileCanvas(std::unique_ptr<TMetafile> &metafile, std::unique_ptr<QPainter> &canvas);
    virtual void ScaleCanvas(QPainter &canvas);
    virtual void RebuildThumbnails();
    virtual void UpdateThumbnails(int startIndex, int endIndex);
    virtual void RepaintThumbnails(int startIndex, int endIndex);
    virtual void RecolorThumbnails(bool onlyGray);
    virtual void SyncThumbnail();

    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void PagesChanged(int startIndex, int endIndex);
    void PageChanged(int index);
    void PaperViewOptionsChanged(TUpdateSeverity severity);
    void PaperViewPaint(QPainter &canvas, const QRect &pageRect);
    void PaintViewport(QPaintEvent *event);
    void SetPageExt(int width, int height);
    void ApplyPaperType();
    int ScrollRange(Qt::Orientation orientation) const;
    void UpdateScrollBars(const QPoint &viewSize, const QPoint &space);
    void PlaceAtScroll();
    void EndDrag();
    void PaperMouse(QMouseEvent *event);
    void StoreRecordedPage(bool insert, int pageNo);
    void FinishEditing(bool cancel);
    bool CanRecordHere() const;
    void ReadPreviewStream(QIODevice &stream);
    QRect PlaceGraphic(const QRect &rect, QSize natural, bool proportional, bool shrinkOnly, bool center) const;
    void DrawOnCanvas(const QRect &rect, const TPreviewGraphic &graphic);

    QList<TThumbnailViewer *> FThumbnailViews;
    TPaperPreview *FPaperView = nullptr;
    TPaperPreviewOptions *FPaperViewOptions = nullptr;
    QString FPrintJobTitle;
    std::unique_ptr<TMetafileList> FPageList;
    std::unique_ptr<QPainter> FPageCanvas;
    TUnits FUnits = mmHiMetric;
    QPoint FDeviceExt;
    QPoint FLogicalExt;
    QPoint FPageExt;
    TPrinterOrientation FOrientation = poPortrait;
    int FCurrentPage = 0;
    TPaperType FPaperType = pA4;
    TPreviewState FState = psReady;
    int FZoom = 100;
    TZoomState FZoomState = zsZoomToFit;
    bool FZoomSavePos = true;
    int FZoomMin = 10;
    int FZoomMax = 1000;
    int FZoomStep = 10;
    int FLastZoom = 100;
    int FHorzMargin = 0;
    int FVertMargin = 0;
    QPoint FOldMousePos;
    bool FCanScrollHorz = false;
    bool FCanScrollVert = false;
    bool FIsDragging = false;
    bool FInLayout = false;
    int FCanvasPageNo = 0;
    bool FAnnotation = false;
    bool FBackground = false;
    TGrayscaleOptions FGrayscale;
    int FGrayBrightness = 0;
    int FGrayContrast = 0;
    bool FShowPrintableArea = false;
    QColor FPrintableAreaColor = QColor(192, 192, 192);
    QColor FColor;
    std::unique_ptr<TMetafile> PageMetafile;
    std::unique_ptr<TMetafile> AnnotationMetafile;
    std::unique_ptr<TMetafile> BackgroundMetafile;
    int WheelAccumulator = 0;
    QPointer<QObject> FReferenceOwner;
    QPaintDevice *FReferenceDevice = nullptr;
    int FScreenPixelsPerInch = 0;
    QPoint FContentPos;   // the paper's place in the scrolled content
};
