#include "preview/metafile.h"
#include "preview/metafile_list.h"
#include "preview/preview_errors.h"
#include "preview/print_preview.h"

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QWheelEvent>

namespace {

const QList<QColor> PageColours = {QColor(200, 0, 0), QColor(0, 160, 0), QColor(0, 0, 220), QColor(220, 220, 0),
                                   QColor(0, 200, 200), QColor(200, 0, 200)};

// A preview of a fixed size at 96 pixels per inch, shown off screen so that it lays out.
struct Preview {
    TPrintPreview control;

    explicit Preview(QSize size = QSize(400, 300))
    {
        control.setAttribute(Qt::WA_DontShowOnScreen);
        control.SetScreenPixelsPerInch(96);
        control.resize(size);
        control.show();
        QCoreApplication::sendPostedEvents();
    }

    // Records pages, each filled with its own colour.
    void Record(int pages)
    {
        control.BeginDoc();
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                control.NewPage();
            control.Canvas()->fillRect(control.PageBounds(), PageColours[i % PageColours.size()]);
        }
        control.EndDoc();
    }

    // The colour in the middle of the shown page.
    QColor Shown()
    {
        TPaperPreview *paper = control.PaperViewControl();
        const QImage image = paper->grab().toImage();
        return image.pixelColor(paper->PageRect().center());
    }

    void Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF local(control.width() / 2.0, control.height() / 2.0);
        QWheelEvent event(local, control.mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(control.viewport(), &event);
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(&control, &event);
    }
};

int Closeness(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

} // namespace

class tst_PrintPreview : public QObject
{
    Q_OBJECT
private slots:
    // paper and units
    void defaults();
    void unitsChangeKeepsPaper();
    void paperSizeFindsType_data();
    void paperSizeFindsType();
    void paperSettingsIgnoredWhileRecording();
    void orientationSwapsSize();

    // zoom and layout
    void zoomSetter();
    void layout_data();
    void layout();
    void ctrlWheelInZoomToWidthWithOnePage();
    void tinyPreviewKeepsZoomPositive();
    void refusedSizeEndsLayout();
    void visiblePageRectRoundTrip();

    // navigation and input
    void currentPage();
    void keys_data();
    void keys();
    void wheelAccumulates();
    void ctrlWheelZooms();
    void dragScrolls();

    // recording and editing
    void recordingStoresPages();
    void recordingStateGuards();
    void editReplaceInsert();
    void insertKeepsCurrentPageInView();
    void deleteMoveExchange_data();
    void deleteMoveExchange();
    void deletingCurrentLastPageShowsItsPredecessor();
    void deletingOnlyPageHidesPaper();
    void overlays();

    // display
    void showsCurrentPage();
    void grayDisplay();

    // drawing helpers
    void paintGraphicEx_data();
    void paintGraphicEx();
    void paintGraphicEx2_data();
    void paintGraphicEx2();
    void paintWinControl();
    void richTextPaging();
    void richTextThatNeverFits();
    void richTextRect();

    // streams
    void streamRoundTrip();
    void streamRefusedWhileRecording();
    void operationsKeepForeignStates();
    void badStreamIsRefused();
};

// ---------------------------------------------------------------- paper and units

void tst_PrintPreview::defaults()
{
    TPrintPreview preview;
    QCOMPARE(preview.PaperType(), pA4);
    QCOMPARE(preview.PaperWidth(), 21000);
    QCOMPARE(preview.PaperHeight(), 29700);
    QCOMPARE(preview.Units(), mmHiMetric);
    QCOMPARE(preview.ZoomState(), zsZoomToFit);
    QCOMPARE(preview.Zoom(), 100);
    QCOMPARE(preview.State(), psReady);
    QCOMPARE(preview.CurrentPage(), 0);
    QCOMPARE(preview.TotalPages(), 0);
    QCOMPARE(preview.CacheSize(), 10);
    QVERIFY(!preview.PaperViewControl()->isVisibleTo(&preview));
}

void tst_PrintPreview::unitsChangeKeepsPaper()
{
    Preview p;
    TPrintPreview &preview = p.control;
    QCOMPARE(preview.PageDevicePixels(), QPoint(794, 1123));
    preview.SetUnits(mmLoMetric);
    QCOMPARE(preview.PaperWidth(), 2100);
    QCOMPARE(preview.PaperHeight(), 2970);
    preview.SetUnits(mmHiEnglish);
    QCOMPARE(preview.PaperWidth(), 8268);
    // a custom paper is converted rather than taken from the table
    preview.SetPaperWidth(5000);
    QCOMPARE(preview.PaperType(), pCustom);
    preview.SetUnits(mmLoEnglish);
    QCOMPARE(preview.PaperWidth(), 500);
    QCOMPARE(preview.XFrom(mmHiMetric, 2540), 100);
    QCOMPARE(preview.RectFrom(mmLoEnglish, 10, 20, 110, 220), QRect(10, 20, 100, 200));
    QCOMPARE(preview.BoundsFrom(mmHiEnglish, 100, 200, 1000, 2000), QRect(10, 20, 100, 200));
}

void tst_PrintPreview::paperSizeFindsType_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("expected");
    QTest::newRow("210.4 mm is A4") << int(mmLoMetric) << 2104 << 2970 << int(poPortrait) << int(pA4);
    QTest::newRow("211 mm is custom") << int(mmLoMetric) << 2106 << 2970 << int(poPortrait) << int(pCustom);
    QTest::newRow("letter") << int(mmHiEnglish) << 8500 << 11000 << int(poPortrait) << int(pLetter);
    QTest::newRow("landscape A4 looked up upright") << int(mmHiMetric) << 29700 << 21000 << int(poLandscape) << int(pA4);
}

void tst_PrintPreview::paperSizeFindsType()
{
    QFETCH(int, units);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, orientation);
    QFETCH(int, expected);
    TPrintPreview preview;
    preview.SetUnits(TUnits(units));
    preview.SetPaperType(pCustom);
    QSignalSpy paperChanges(&preview, &TPrintPreview::OnPaperChange);
    preview.SetPaperSizeOrientation(width, height, TPrinterOrientation(orientation));
    QCOMPARE(int(preview.PaperType()), expected);
    QCOMPARE(paperChanges.count(), 1);
    QCOMPARE(preview.PaperWidth(), width);
}

void tst_PrintPreview::paperSettingsIgnoredWhileRecording()
{
    Preview p;
    TPrintPreview &preview = p.control;
    preview.BeginDoc();
    QCOMPARE(preview.State(), psCreating);
    preview.SetPaperType(pLetter);
    preview.SetPaperWidth(1000);
    preview.SetOrientation(poLandscape);
    QCOMPARE(preview.PaperType(), pA4);
    QCOMPARE(preview.PaperWidth(), 21000);
    QCOMPARE(preview.Orientation(), poPortrait);
    preview.EndDoc();
    preview.SetPaperType(pLetter);
    QCOMPARE(preview.PaperWidth(), 21590);
}

void tst_PrintPreview::orientationSwapsSize()
{
    TPrintPreview preview;
    preview.SetOrientation(poLandscape);
    QCOMPARE(preview.PaperWidth(), 29700);
    QCOMPARE(preview.PaperHeight(), 21000);
    QVERIFY(preview.IsPaperRotated());
    preview.SetPaperType(pA5);
    QCOMPARE(preview.PaperWidth(), 21000);
    QCOMPARE(preview.PaperHeight(), 14800);
    QVERIFY(!preview.IsPaperCustom());
}

// ---------------------------------------------------------------- zoom and layout

void tst_PrintPreview::zoomSetter()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    QSignalSpy zooms(&preview, &TPrintPreview::OnZoomChange);
    preview.SetZoom(5);
    QCOMPARE(preview.Zoom(), 10);
    QCOMPARE(preview.ZoomState(), zsZoomOther);
    QCOMPARE(zooms.count(), 1);
    preview.SetZoom(10);
    QCOMPARE(zooms.count(), 1);
    preview.SetZoom(5000);
    QCOMPARE(preview.Zoom(), 1000);
    preview.SetZoomMax(200);
    QCOMPARE(preview.Zoom(), 200);
    preview.SetZoomMin(300);   // above the maximum: ignored
    QCOMPARE(preview.ZoomMin(), 10);
    preview.SetZoomMin(0);
    QCOMPARE(preview.ZoomMin(), 10);
    // the paper widget follows the zoom: A4 at 200 % of 794 x 1123 logical pixels
    QCOMPARE(preview.PaperViewControl()->PaperSize(), QSize(1588, 2246));
    QVERIFY(preview.CanScrollHorz());
    QVERIFY(preview.CanScrollVert());
}

void tst_PrintPreview::layout_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("paper");
    QTest::addColumn<bool>("scrollHorz");
    QTest::addColumn<bool>("scrollVert");
    QTest::addColumn<int>("expectedZoom");
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // 400 x 300 client, A4 of 794 x 1123 logical pixels, border 1 and shadow 3
    QTest::newRow("fit") << int(zsZoomToFit) << 0 << QSize(209, 295) << false << false << 26;
    QTest::newRow("height") << int(zsZoomToHeight) << 0 << QSize(209, 295) << false << false << 26;
    const int width = 400 - bar - 5;
    const int height = MulDiv(width, 1123, 794);
    QTest::newRow("width") << int(zsZoomToWidth) << 0 << QSize(width, height) << false << true
                           << RoundHalfEven(height * 100.0 / 1123);
    QTest::newRow("50 %") << int(zsZoomOther) << 50 << QSize(397, 562) << true << true << 50;
    QTest::newRow("20 %") << int(zsZoomOther) << 20 << QSize(159, 225) << false << false << 20;
}

void tst_PrintPreview::layout()
{
    QFETCH(int, state);
    QFETCH(int, zoom);
    QFETCH(QSize, paper);
    QFETCH(bool, scrollHorz);
    QFETCH(bool, scrollVert);
    QFETCH(int, expectedZoom);
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    if (zoom)
        preview.SetZoom(zoom);
    else
        preview.SetZoomState(TZoomState(state));
    TPaperPreview *view = preview.PaperViewControl();
    QCOMPARE(view->PaperSize(), paper);
    QCOMPARE(preview.CanScrollHorz(), scrollHorz);
    QCOMPARE(preview.CanScrollVert(), scrollVert);
    QCOMPARE(preview.Zoom(), expectedZoom);
    QCOMPARE(preview.horizontalScrollBar()->maximum() > 0, scrollHorz);
    QCOMPARE(preview.verticalScrollBar()->maximum() > 0, scrollVert);
    // a paper that fits is centred in its direction
    if (!scrollHorz)
        QCOMPARE(view->x(), (preview.viewport()->width() - view->width()) / 2);
    else
        QCOMPARE(view->x(), 0);
}

void tst_PrintPreview::ctrlWheelInZoomToWidthWithOnePage()
{
    // Zoom to width with no margin leaves no horizontal range to scroll, and the relative
    // scroll position of the next layout divides by that range.
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetZoomState(zsZoomToWidth);
    const int before = preview.Zoom();
    p.Wheel(120, Qt::ControlModifier);
    QCOMPARE(preview.ZoomState(), zsZoomOther);
    QCOMPARE(preview.Zoom(), before + preview.ZoomStep());
    // and the same vertically with zoom to fit
    preview.SetZoomState(zsZoomToFit);
    const int fit = preview.Zoom();
    p.Key(Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(preview.Zoom(), fit - preview.ZoomStep());
}

void tst_PrintPreview::tinyPreviewKeepsZoomPositive()
{
    Preview p(QSize(6, 6));
    p.Record(1);
    QVERIFY2(p.control.Zoom() >= 1, qPrintable(QString::number(p.control.Zoom())));
    QVERIFY(p.control.PaperViewControl()->PaperWidth() >= 1);
}

void tst_PrintPreview::refusedSizeEndsLayout()
{
    // a paper widget that cannot grow beyond a size makes the zoom follow what it took
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.PaperViewControl()->setMaximumSize(300, 300);
    preview.SetZoomState(zsZoomToWidth);
    QVERIFY(preview.PaperViewControl()->width() <= 300);
    preview.SetZoom(400);
    QVERIFY(preview.Zoom() < 400);
    QCOMPARE(preview.Zoom() % preview.ZoomStep(), 0);
    QCOMPARE(preview.ZoomState(), zsZoomOther);
    QVERIFY(preview.PaperViewControl()->width() <= 300);
}

void tst_PrintPreview::visiblePageRectRoundTrip()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetZoom(100);
    const QRect visible = preview.GetVisiblePageRect();
    QCOMPARE(visible.topLeft(), QPoint(0, 0));
    QVERIFY(visible.width() > 300 && visible.width() <= 400);
    // show a small part in the middle of the page
    preview.SetVisiblePageRect(QRect(397, 561, 100, 100));
    QCOMPARE(preview.ZoomState(), zsZoomOther);
    const QRect shown = preview.GetVisiblePageRect();
    QVERIFY2(qAbs(shown.left() - 397) <= 4 && qAbs(shown.top() - 561) <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(shown.left()).arg(shown.top())));
}

// ---------------------------------------------------------------- navigation and input

void tst_PrintPreview::currentPage()
{
    Preview p;
    TPrintPreview &preview = p.control;
    preview.SetCurrentPage(3);
    QCOMPARE(preview.CurrentPage(), 0);
    p.Record(4);
    QCOMPARE(preview.CurrentPage(), 1);
    QSignalSpy changes(&preview, &TPrintPreview::OnChange);
    preview.SetCurrentPage(9);
    QCOMPARE(preview.CurrentPage(), 4);
    preview.SetCurrentPage(4);
    preview.SetCurrentPage(-2);
    QCOMPARE(preview.CurrentPage(), 1);
    QCOMPARE(changes.count(), 2);
}

void tst_PrintPreview::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("zoomChange");
    QTest::addColumn<int>("hpos");   // -1: unchanged, -2: maximum
    QTest::addColumn<int>("vpos");
    const int ctrl = int(Qt::ControlModifier);
    const int shift = int(Qt::ShiftModifier);
    const int keypad = int(Qt::KeypadModifier);
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 3 << 0 << -1 << -1;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 0 << 1 << 0 << -1 << -1;
    QTest::newRow("ctrl page down") << int(Qt::Key_PageDown) << ctrl << 5 << 0 << -1 << -1;
    QTest::newRow("ctrl page up") << int(Qt::Key_PageUp) << ctrl << 1 << 0 << -1 << -1;
    QTest::newRow("ctrl shift page down is not ours") << int(Qt::Key_PageDown) << (ctrl | shift) << 2 << 0 << -1 << -1;
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << 2 << 10 << -1 << -1;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << keypad << 2 << -10 << -1 << -1;
    QTest::newRow("ctrl equals") << int(Qt::Key_Equal) << ctrl << 2 << 10 << -1 << -1;
    QTest::newRow("ctrl minus") << int(Qt::Key_Minus) << ctrl << 2 << -10 << -1 << -1;
    QTest::newRow("plain minus is not ours") << int(Qt::Key_Minus) << 0 << 2 << 0 << -1 << -1;
    QTest::newRow("end") << int(Qt::Key_End) << 0 << 2 << 0 << -2 << 20;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << 2 << 0 << 0 << 20;
    QTest::newRow("ctrl end") << int(Qt::Key_End) << ctrl << 2 << 0 << 20 << -2;
    QTest::newRow("ctrl home") << int(Qt::Key_Home) << ctrl << 2 << 0 << 20 << 0;
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << 2 << 0 << 28 << 20;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 2 << 0 << 12 << 20;
    QTest::newRow("shift right") << int(Qt::Key_Right) << shift << 2 << 0 << 21 << 20;
    QTest::newRow("shift up") << int(Qt::Key_Up) << shift << 2 << 0 << 20 << 19;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 2 << 0 << 20 << 28;
    QTest::newRow("ctrl down is a page") << int(Qt::Key_Down) << ctrl << 2 << 0 << 20 << -3;
}

void tst_PrintPreview::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, page);
    QFETCH(int, zoomChange);
    QFETCH(int, hpos);
    QFETCH(int, vpos);
    Preview p;
    p.Record(5);
    TPrintPreview &preview = p.control;
    preview.SetZoom(200);
    preview.SetCurrentPage(2);
    QScrollBar *h = preview.horizontalScrollBar();
    QScrollBar *v = preview.verticalScrollBar();
    h->setValue(20);
    v->setValue(20);
    const int zoom = preview.Zoom();
    p.Key(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(preview.CurrentPage(), page);
    if (zoomChange) {
        QCOMPARE(preview.Zoom(), zoom + zoomChange);
        return;
    }
    QCOMPARE(preview.Zoom(), zoom);
    auto expect = [](int wanted, QScrollBar *bar) { return wanted == -1 ? 20 : wanted == -2 ? bar->maximum() : wanted == -3 ? 20 + bar->pageStep() : wanted; };
    QCOMPARE(h->value(), expect(hpos, h));
    QCOMPARE(v->value(), expect(vpos, v));
}

void tst_PrintPreview::wheelAccumulates()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetZoom(200);
    QScrollBar *v = preview.verticalScrollBar();
    p.Wheel(-40);
    p.Wheel(-40);
    QCOMPARE(v->value(), 0);
    p.Wheel(-40);
    QCOMPARE(v->value(), 5 * v->singleStep());
    // a large delta is taken a notch at a time, the rest kept
    p.Wheel(-300);
    QCOMPARE(v->value(), 15 * v->singleStep());
    p.Wheel(-60);
    QCOMPARE(v->value(), 20 * v->singleStep());
    p.Wheel(120);
    QCOMPARE(v->value(), 15 * v->singleStep());
}

void tst_PrintPreview::ctrlWheelZooms()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetZoom(100);
    p.Wheel(-120, Qt::ControlModifier);
    QCOMPARE(preview.Zoom(), 90);
    p.Wheel(240, Qt::ControlModifier);
    QCOMPARE(preview.Zoom(), 110);
    // other combinations scroll nothing and zoom nothing
    p.Wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(preview.Zoom(), 110);
    QCOMPARE(preview.verticalScrollBar()->value(), 0);
}

void tst_PrintPreview::dragScrolls()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetZoom(200);
    TPaperPreview *paper = preview.PaperViewControl();
    QScrollBar *h = preview.horizontalScrollBar();
    QScrollBar *v = preview.verticalScrollBar();
    h->setValue(100);
    v->setValue(100);
    QSignalSpy downs(&preview, &TPrintPreview::OnMouseDown);
    QTest::mousePress(paper, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(downs.count(), 1);
    QCOMPARE(paper->cursor().shape(), preview.PaperView().GrabCursor().shape());
    QMouseEvent move(QEvent::MouseMove, QPointF(230, 190), paper->mapToGlobal(QPointF(230, 190)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(paper, &move);
    // the paper follows the pointer
    QCOMPARE(h->value(), 70);
    QCOMPARE(v->value(), 110);
    QTest::mouseRelease(paper, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(paper->cursor().shape(), preview.PaperView().DragCursor().shape());
    // a move without the button does not scroll
    QMouseEvent hover(QEvent::MouseMove, QPointF(100, 100), paper->mapToGlobal(QPointF(100, 100)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(paper, &hover);
    QCOMPARE(h->value(), 70);
}

// ---------------------------------------------------------------- recording and editing

void tst_PrintPreview::recordingStoresPages()
{
    Preview p;
    TPrintPreview &preview = p.control;
    QStringList events;
    connect(&preview, &TPrintPreview::OnBeginDoc, [&] { events << "begin"; });
    connect(&preview, &TPrintPreview::OnNewPage, [&] { events << QStringLiteral("new %1").arg(preview.CanvasPageNo()); });
    connect(&preview, &TPrintPreview::OnEndPage, [&] { events << "end page"; });
    connect(&preview, &TPrintPreview::OnEndDoc, [&] { events << QStringLiteral("end %1").arg(preview.TotalPages()); });
    QSignalSpy states(&preview, &TPrintPreview::OnStateChange);

    preview.BeginDoc();
    QCOMPARE(preview.TotalPages(), 0);
    QVERIFY(preview.Canvas());
    preview.NewPage();
    // the first page is stored, and shown, as soon as the second is begun
    QCOMPARE(preview.TotalPages(), 1);
    QCOMPARE(preview.CurrentPage(), 1);
    QVERIFY(preview.PaperViewControl()->isVisible());
    preview.NewPage();
    preview.EndDoc();
    QCOMPARE(preview.TotalPages(), 3);
    QCOMPARE(preview.State(), psReady);
    QCOMPARE(preview.CanvasPageNo(), 0);
    QVERIFY(!preview.Canvas());
    QCOMPARE(events, QStringList({"begin", "new 1", "end page", "new 2", "end page", "new 3", "end page", "end 3"}));
    QCOMPARE(states.count(), 2);
    // a page picture has the page's size in device pixels
    QCOMPARE(preview.GetPages(1)->width(), 794);
    QCOMPARE(preview.GetPages(1)->height(), 1123);
    QVERIFY(!preview.GetPages(0));
    QVERIFY(!preview.GetPages(4));
    // a new document replaces the old one
    p.Record(2);
    QCOMPARE(preview.TotalPages(), 2);
}

void tst_PrintPreview::recordingStateGuards()
{
    Preview p;
    TPrintPreview &preview = p.control;
    preview.NewPage();
    preview.EndDoc();
    QCOMPARE(preview.TotalPages(), 0);
    preview.BeginDoc();
    QSignalSpy begins(&preview, &TPrintPreview::OnBeginDoc);
    preview.BeginDoc();
    QCOMPARE(begins.count(), 0);
    QVERIFY(!preview.BeginEdit(1));
    QVERIFY(!preview.BeginInsert(1));
    QVERIFY(!preview.Delete(1));
    preview.EndEdit();
    QCOMPARE(preview.State(), psCreating);
    preview.EndDoc();
    QCOMPARE(preview.TotalPages(), 1);
    QVERIFY(preview.BeginEdit(1));
    QVERIFY(!preview.BeginReplace(1));
    QVERIFY(!preview.Exchange(1, 1));
    preview.EndInsert();
    QCOMPARE(preview.State(), psEditing);
    preview.EndEdit(true);
    QCOMPARE(preview.State(), psReady);
    QVERIFY(!preview.BeginEdit(2));
    QVERIFY(!preview.BeginReplace(0));
}

void tst_PrintPreview::editReplaceInsert()
{
    Preview p;
    p.Record(2);
    TPrintPreview &preview = p.control;
    QCOMPARE(Closeness(p.Shown(), PageColours[0]), 0);

    // editing draws over the old content
    QVERIFY(preview.BeginEdit(1));
    preview.Canvas()->fillRect(QRect(0, 0, preview.PaperWidth() / 2, preview.PaperHeight()), Qt::black);
    preview.EndEdit();
    QCOMPARE(preview.State(), psReady);
    TPaperPreview *paper = preview.PaperViewControl();
    QImage shown = paper->grab().toImage();
    const QRect page = paper->PageRect();
    QCOMPARE(shown.pixelColor(page.left() + page.width() / 4, page.center().y()), QColor(Qt::black));
    QCOMPARE(Closeness(shown.pixelColor(page.left() + 3 * page.width() / 4, page.center().y()), PageColours[0]), 0);

    // a cancelled edit changes nothing
    QVERIFY(preview.BeginEdit(1));
    preview.Canvas()->fillRect(preview.PageBounds(), Qt::white);
    preview.EndEdit(true);
    QCOMPARE(p.Shown(), QColor(Qt::black).isValid() ? p.Shown() : QColor());
    QCOMPARE(Closeness(paper->grab().toImage().pixelColor(page.left() + 3 * page.width() / 4, page.center().y()), PageColours[0]), 0);

    // replacing starts from a blank page
    QSignalSpy newPages(&preview, &TPrintPreview::OnNewPage);
    QVERIFY(preview.BeginReplace(1));
    QCOMPARE(newPages.count(), 1);
    preview.Canvas()->fillRect(QRect(0, 0, 100, 100), Qt::black);
    preview.EndReplace();
    QCOMPARE(p.Shown(), QColor(Qt::white));

    // inserting before the first page, past the last, and cancelled
    QVERIFY(preview.BeginInsert(0));
    QCOMPARE(preview.CanvasPageNo(), 1);
    preview.Canvas()->fillRect(preview.PageBounds(), PageColours[2]);
    preview.EndInsert();
    QCOMPARE(preview.TotalPages(), 3);
    QVERIFY(preview.BeginInsert(99));
    QCOMPARE(preview.CanvasPageNo(), 4);
    preview.EndInsert(true);
    QCOMPARE(preview.TotalPages(), 3);
    QCOMPARE(preview.State(), psReady);
    QVERIFY(preview.BeginAppend());
    preview.Canvas()->fillRect(preview.PageBounds(), PageColours[3]);
    preview.EndAppend();
    QCOMPARE(preview.TotalPages(), 4);
    preview.SetCurrentPage(4);
    QCOMPARE(Closeness(p.Shown(), PageColours[3]), 0);
    preview.SetCurrentPage(1);
    QCOMPARE(Closeness(p.Shown(), PageColours[2]), 0);
}

void tst_PrintPreview::insertKeepsCurrentPageInView()
{
    Preview p;
    p.Record(5);
    TPrintPreview &preview = p.control;
    preview.SetCurrentPage(3);
    QVERIFY(preview.BeginInsert(2));
    preview.Canvas()->fillRect(preview.PageBounds(), Qt::black);
    preview.EndInsert();
    QCOMPARE(preview.CurrentPage(), 4);
    QCOMPARE(Closeness(p.Shown(), PageColours[2]), 0);
}

void tst_PrintPreview::deleteMoveExchange_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("expectedCurrent");
    QTest::addColumn<QList<int>>("order");   // colour indices of the pages afterwards
    QTest::newRow("delete before current") << "delete" << 1 << 0 << 3 << true << 2 << QList<int>{1, 2, 3, 4};
    QTest::newRow("delete after current") << "delete" << 4 << 0 << 3 << true << 3 << QList<int>{0, 1, 2, 4};
    QTest::newRow("delete current") << "delete" << 3 << 0 << 3 << true << 3 << QList<int>{0, 1, 3, 4};
    QTest::newRow("delete current last") << "delete" << 5 << 0 << 5 << true << 4 << QList<int>{0, 1, 2, 3};
    QTest::newRow("delete missing") << "delete" << 6 << 0 << 3 << false << 3 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("move current") << "move" << 2 << 4 << 2 << true << 4 << QList<int>{0, 2, 3, 1, 4};
    QTest::newRow("move onto current") << "move" << 1 << 3 << 3 << true << 3 << QList<int>{1, 2, 0, 3, 4};
    QTest::newRow("move to itself") << "move" << 2 << 2 << 2 << false << 2 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("move to nowhere") << "move" << 2 << 6 << 2 << false << 2 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("exchange current") << "exchange" << 1 << 5 << 1 << true << 5 << QList<int>{4, 1, 2, 3, 0};
    QTest::newRow("exchange with current") << "exchange" << 1 << 5 << 5 << true << 1 << QList<int>{4, 1, 2, 3, 0};
    QTest::newRow("exchange others") << "exchange" << 2 << 4 << 1 << true << 1 << QList<int>{0, 3, 2, 1, 4};
    QTest::newRow("exchange with itself") << "exchange" << 1 << 1 << 1 << false << 1 << QList<int>{0, 1, 2, 3, 4};
}

void tst_PrintPreview::deleteMoveExchange()
{
    QFETCH(QString, operation);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, current);
    QFETCH(bool, result);
    QFETCH(int, expectedCurrent);
    QFETCH(QList<int>, order);
    Preview p;
    p.Record(5);
    TPrintPreview &preview = p.control;
    preview.SetCurrentPage(current);
    const QColor wasShown = p.Shown();
    bool done = false;
    if (operation == "delete")
        done = preview.Delete(a);
    else if (operation == "move")
        done = preview.Move(a, b);
    else
        done = preview.Exchange(a, b);
    QCOMPARE(done, result);
    QCOMPARE(preview.CurrentPage(), expectedCurrent);
    QCOMPARE(preview.TotalPages(), order.size());
    // what is on screen is the page that is now current
    QCOMPARE(Closeness(p.Shown(), PageColours[order[expectedCurrent - 1]]), 0);
    if (!result)
        QCOMPARE(p.Shown(), wasShown);
    for (int i = 0; i < order.size(); ++i) {
        preview.SetCurrentPage(i + 1);
        QVERIFY2(Closeness(p.Shown(), PageColours[order[i]]) == 0, qPrintable(QStringLiteral("page %1").arg(i + 1)));
    }
}

void tst_PrintPreview::deletingCurrentLastPageShowsItsPredecessor()
{
    // The store reports an empty range for the removal of its last page; the page shown
    // must still change to the new current page.
    Preview p;
    p.Record(3);
    TPrintPreview &preview = p.control;
    preview.SetCurrentPage(3);
    QCOMPARE(Closeness(p.Shown(), PageColours[2]), 0);
    QVERIFY(preview.Delete(3));
    QCOMPARE(preview.CurrentPage(), 2);
    QCOMPARE(Closeness(p.Shown(), PageColours[1]), 0);
    // also when the store itself removes it
    preview.PageList().Delete(1);
    QCOMPARE(preview.CurrentPage(), 1);
    QCOMPARE(Closeness(p.Shown(), PageColours[0]), 0);
}

void tst_PrintPreview::deletingOnlyPageHidesPaper()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    QVERIFY(preview.PaperViewControl()->isVisible());
    QVERIFY(preview.Delete(1));
    QCOMPARE(preview.TotalPages(), 0);
    QCOMPARE(preview.CurrentPage(), 0);
    QVERIFY(!preview.PaperViewControl()->isVisible());
    p.Record(2);
    preview.Clear();
    QCOMPARE(preview.CurrentPage(), 0);
    QVERIFY(!preview.PaperViewControl()->isVisible());
}

void tst_PrintPreview::overlays()
{
    Preview p;
    p.Record(2);
    TPrintPreview &preview = p.control;
    QList<int> annotated;
    connect(&preview, &TPrintPreview::OnAnnotation, [&](TPrintPreview *, int pageNo, QPainter *canvas) {
        annotated << pageNo;
        // a band across the middle of the page
        canvas->fillRect(QRect(0, preview.PaperHeight() / 2 - 2000, preview.PaperWidth(), 4000), Qt::black);
    });
    QCOMPARE(Closeness(p.Shown(), PageColours[0]), 0);
    preview.SetAnnotation(true);
    QCOMPARE(annotated, QList<int>{1});
    QCOMPARE(p.Shown(), QColor(Qt::black));
    preview.SetCurrentPage(2);
    QCOMPARE(annotated, (QList<int>{1, 2}));
    QCOMPARE(p.Shown(), QColor(Qt::black));
    preview.SetAnnotation(false);
    QCOMPARE(Closeness(p.Shown(), PageColours[1]), 0);
    preview.UpdateAnnotation();
    QCOMPARE(annotated.size(), 2);

    // the background lies under the page: a page that leaves its paper bare shows it
    QVERIFY(preview.BeginReplace(2));
    preview.EndReplace();
    connect(&preview, &TPrintPreview::OnBackground, [&](TPrintPreview *, int, QPainter *canvas) {
        canvas->fillRect(preview.PageBounds(), PageColours[4]);
    });
    preview.SetBackground(true);
    QCOMPARE(Closeness(p.Shown(), PageColours[4]), 0);
}

// ---------------------------------------------------------------- display

void tst_PrintPreview::showsCurrentPage()
{
    Preview p;
    p.Record(3);
    QCOMPARE(Closeness(p.Shown(), PageColours[0]), 0);
    p.control.SetCurrentPage(2);
    QCOMPARE(Closeness(p.Shown(), PageColours[1]), 0);
    // the area around the paper has the control's colour
    p.control.SetColor(QColor(30, 30, 30));
    const QImage all = p.control.grab().toImage();
    QCOMPARE(all.pixelColor(1, 1), QColor(30, 30, 30));
}

void tst_PrintPreview::grayDisplay()
{
    Preview p;
    p.Record(1);
    TPrintPreview &preview = p.control;
    preview.SetGrayscale(gsPreview);
    const QColor red = PageColours[0];
    const int gray = (30 * red.red() + 59 * red.green() + 11 * red.blue()) / 100;
    QCOMPARE(p.Shown(), QColor(gray, gray, gray));
    preview.SetGrayBrightness(500);
    QCOMPARE(preview.GrayBrightness(), 100);
    QCOMPARE(p.Shown(), QColor(255, 255, 255));
    preview.SetGrayscale(TGrayscaleOptions());
    QCOMPARE(Closeness(p.Shown(), red), 0);
}

// ---------------------------------------------------------------- drawing helpers

void tst_PrintPreview::paintGraphicEx_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<bool>("shrinkOnly");
    QTest::addColumn<bool>("center");
    QTest::addColumn<QRect>("expected");
    // mmPixel units at 96 pixels per inch: a graphic's natural size is its pixel size
    QTest::newRow("shrink only, small, corner") << QSize(20, 10) << QRect(10, 10, 100, 100) << false << true << false
                                                << QRect(10, 10, 20, 10);
    QTest::newRow("shrink only, small, centred") << QSize(20, 10) << QRect(10, 10, 100, 100) << false << true << true
                                                 << QRect(50, 55, 20, 10);
    QTest::newRow("twice as wide, proportional") << QSize(200, 100) << QRect(0, 0, 100, 100) << true << false << false
                                                 << QRect(0, 0, 100, 50);
    QTest::newRow("twice as high, proportional, centred") << QSize(50, 200) << QRect(0, 0, 100, 100) << true << false
                                                          << true << QRect(37, 0, 25, 100);
    QTest::newRow("stretched") << QSize(20, 10) << QRect(5, 5, 100, 100) << false << false << false << QRect(5, 5, 100, 100);
}

void tst_PrintPreview::paintGraphicEx()
{
    QFETCH(QSize, image);
    QFETCH(QRect, rect);
    QFETCH(bool, proportional);
    QFETCH(bool, shrinkOnly);
    QFETCH(bool, center);
    QFETCH(QRect, expected);
    Preview p;
    TPrintPreview &preview = p.control;
    preview.SetUnits(mmPixel);
    QImage picture(image, QImage::Format_RGB32);
    picture.fill(Qt::black);
    preview.BeginDoc();
    const QRect used = preview.PaintGraphicEx(rect, TPreviewGraphic::FromImage(picture), proportional, shrinkOnly, center);
    preview.EndDoc();
    QCOMPARE(used, expected);
    // what was drawn covers exactly the rectangle returned
    QImage page(preview.PageDevicePixels().x(), preview.PageDevicePixels().y(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        preview.DrawPage(1, painter, page.rect(), false);
    }
    QCOMPARE(page.pixelColor(expected.center()), QColor(Qt::black));
    QCOMPARE(page.pixelColor(expected.left() + expected.width() + 1, expected.center().y()), QColor(Qt::white));
    QCOMPARE(page.pixelColor(expected.center().x(), expected.top() + expected.height() + 1), QColor(Qt::white));
}

void tst_PrintPreview::paintGraphicEx2_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<int>("vert");
    QTest::addColumn<int>("horz");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("fits, bottom right") << QSize(20, 10) << int(vaBottom) << int(haRight) << QRect(90, 100, 20, 10);
    QTest::newRow("fits, centred") << QSize(20, 10) << int(vaCenter) << int(haCenter) << QRect(50, 55, 20, 10);
    QTest::newRow("too wide, top left") << QSize(400, 100) << int(vaTop) << int(haLeft) << QRect(10, 10, 100, 25);
    QTest::newRow("too high, bottom centred") << QSize(100, 400) << int(vaBottom) << int(haCenter) << QRect(47, 10, 25, 100);
}

void tst_PrintPreview::paintGraphicEx2()
{
    QFETCH(QSize, image);
    QFETCH(int, vert);
    QFETCH(int, horz);
    QFETCH(QRect, expected);
    Preview p;
    TPrintPreview &preview = p.control;
    preview.SetUnits(mmPixel);
    QImage picture(image, QImage::Format_RGB32);
    picture.fill(Qt::black);
    preview.BeginDoc();
    const QRect used = preview.PaintGraphicEx2(QRect(10, 10, 100, 100), TPreviewGraphic::FromImage(picture),
                                               TVertAlign(vert), THorzAlign(horz));
    preview.EndDoc();
    QCOMPARE(used, expected);
}

void tst_PrintPreview::paintWinControl()
{
    Preview p;
    TPrintPreview &preview = p.control;
    preview.SetUnits(mmPixel);
    QLabel label;
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, PageColours[2]);
    label.setPalette(palette);
    label.resize(80, 40);
    preview.BeginDoc();
    QCOMPARE(preview.PaintWinControl(10, 20, &label), QPoint(80, 40));
    const QRect placed = preview.PaintWinControlEx(QRect(200, 200, 40, 40), &label, true, false, false);
    preview.EndDoc();
    QCOMPARE(placed, QRect(200, 200, 40, 20));
    QImage page(preview.PageDevicePixels().x(), preview.PageDevicePixels().y(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        preview.DrawPage(1, painter, page.rect(), false);
    }
    QCOMPARE(Closeness(page.pixelColor(50, 40), PageColours[2]), 0);
    QCOMPARE(Closeness(page.pixelColor(220, 210), PageColours[2]), 0);
    QCOMPARE(page.pixelColor(220, 225), QColor(Qt::white));
}

namespace {

// Twelve paragraphs of one line each in a fixed font, so that line heights are known.
std::unique_ptr<QTextDocument> Paragraphs(int count)
{
    auto document = std::make_unique<QTextDocument>();
    QString html;
    for (int i = 0; i < count; ++i)
        html += QStringLiteral("<p style=\"margin:0\">line %1</p>").arg(i, 2, 10, QLatin1Char('0'));
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    document->setHtml(html);
    return document;
}

} // namespace

void tst_PrintPreview::richTextPaging()
{
    Preview p;
    TPrintPreview &preview = p.control;
    const std::unique_ptr<QTextDocument> text = Paragraphs(12);
    // measure one line, then use a rectangle that holds four
    QRect probe(1000, 1000, 15000, 100000);
    int probeOffset = 0;
    const int bottom = preview.GetRichTextRect(probe, *text, &probeOffset);
    QCOMPARE(probeOffset, -1);
    const int lineHeight = (bottom - 1000) / 12;
    QVERIFY(lineHeight > 0);
    const QRect rect(1000, 1000, 15000, lineHeight * 4 + lineHeight / 2);

    preview.BeginDoc();
    int offset = 0;
    QCOMPARE(preview.PaintRichText(rect, *text, 1, &offset), 1);
    QCOMPARE(preview.TotalPages(), 0);
    // the second page begins with the fifth paragraph
    QCOMPARE(text->findBlock(offset).blockNumber(), 4);
    QCOMPARE(text->findBlock(offset).position(), offset);
    preview.NewPage();
    QCOMPARE(preview.PaintRichText(rect, *text, 0, &offset), 2);
    QCOMPARE(offset, -1);
    preview.EndDoc();
    QCOMPARE(preview.TotalPages(), 3);
    // the text is drawn: the first page is no longer blank where the text starts
    QImage page(preview.PageDevicePixels().x(), preview.PageDevicePixels().y(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        preview.DrawPage(1, painter, page.rect(), false);
    }
    const QRect area(preview.ConvertX(1000, mmHiMetric, mmPixel), preview.ConvertY(1000, mmHiMetric, mmPixel), 60,
                     preview.ConvertY(lineHeight * 4, mmHiMetric, mmPixel));
    bool inked = false;
    bool inkedBelow = false;
    for (int y = area.top(); y < area.top() + area.height() + 40; ++y)
        for (int x = area.left(); x < area.left() + area.width(); ++x)
            if (page.pixelColor(x, y).lightness() < 128)
                (y < area.top() + area.height() + 2 ? inked : inkedBelow) = true;
    QVERIFY(inked);
    QVERIFY2(!inkedBelow, "the page shows more than the lines that fit");
}

void tst_PrintPreview::richTextThatNeverFits()
{
    Preview p;
    TPrintPreview &preview = p.control;
    const std::unique_ptr<QTextDocument> text = Paragraphs(3);
    preview.BeginDoc();
    int offset = 0;
    // a rectangle too low for any line: nothing is placed, and no page is opened for it
    QCOMPARE(preview.PaintRichText(QRect(1000, 1000, 15000, 0), *text, 0, &offset), 0);
    QCOMPARE(offset, 0);
    QCOMPARE(preview.CanvasPageNo(), 1);
    // after some pages, a line that no longer fits stops the run at that line
    QTextDocument tall;
    QImage big(50, 2000, QImage::Format_RGB32);
    big.fill(Qt::black);
    tall.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("big.png")), big);
    tall.setHtml(QStringLiteral("<p style=\"margin:0\">before</p><p style=\"margin:0\"><img src=\"big.png\"></p>"));
    offset = 0;
    const int drawn = preview.PaintRichText(QRect(1000, 1000, 15000, 2000), tall, 0, &offset);
    QCOMPARE(drawn, 1);
    QCOMPARE(tall.findBlock(offset).blockNumber(), 1);
    QCOMPARE(preview.CanvasPageNo(), 1);
    preview.EndDoc();
    QCOMPARE(preview.TotalPages(), 1);
}

void tst_PrintPreview::richTextRect()
{
    Preview p;
    TPrintPreview &preview = p.control;
    const std::unique_ptr<QTextDocument> text = Paragraphs(6);
    QRect all(0, 500, 15000, 100000);
    int offset = 0;
    const int bottom = preview.GetRichTextRect(all, *text, &offset);
    QCOMPARE(offset, -1);
    QCOMPARE(all.top() + all.height(), bottom);
    const int lineHeight = (bottom - 500) / 6;
    QRect half(0, 500, 15000, lineHeight * 3 + lineHeight / 2);
    offset = 0;
    const int halfBottom = preview.GetRichTextRect(half, *text, &offset);
    QCOMPARE(text->findBlock(offset).blockNumber(), 3);
    QVERIFY(qAbs(halfBottom - (500 + 3 * lineHeight)) <= 3);
    // nothing is drawn by measuring
    QCOMPARE(preview.TotalPages(), 0);
    QRect none(0, 500, 15000, 10);
    offset = 2;
    QCOMPARE(preview.GetRichTextRect(none, *text, &offset), 500);
    QCOMPARE(offset, 0);
}

// ---------------------------------------------------------------- streams

void tst_PrintPreview::streamRoundTrip()
{
    Preview p;
    p.control.SetPaperType(pLetter);
    p.control.SetOrientation(poLandscape);
    p.Record(3);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    p.control.SaveToStream(buffer);
    QCOMPARE(buffer.data().left(4), QByteArray("KWPI"));

    Preview q;
    buffer.seek(0);
    QSignalSpy states(&q.control, &TPrintPreview::OnStateChange);
    q.control.LoadFromStream(buffer);
    QCOMPARE(states.count(), 2);
    QCOMPARE(q.control.State(), psReady);
    QCOMPARE(q.control.TotalPages(), 3);
    QCOMPARE(q.control.PaperType(), pLetter);
    QCOMPARE(q.control.Orientation(), poLandscape);
    QCOMPARE(q.control.PaperWidth(), p.control.PaperWidth());
    QCOMPARE(q.control.CurrentPage(), 1);
    q.control.SetCurrentPage(3);
    QCOMPARE(Closeness(q.Shown(), PageColours[2]), 0);
}

void tst_PrintPreview::streamRefusedWhileRecording()
{
    // Saving or loading in the middle of a recording (a build that lets events through)
    // must neither end the recording nor lose its pages.
    Preview p;
    TPrintPreview &preview = p.control;
    QSignalSpy ends(&preview, &TPrintPreview::OnEndDoc);
    preview.BeginDoc();
    preview.Canvas()->fillRect(preview.PageBounds(), PageColours[0]);
    preview.NewPage();
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QVERIFY_THROWS_EXCEPTION(EPreviewSaveError, preview.SaveToStream(buffer));
    QCOMPARE(buffer.size(), 0);
    QCOMPARE(preview.State(), psCreating);
    QVERIFY_THROWS_EXCEPTION(EPreviewLoadError, preview.LoadFromStream(buffer));
    QCOMPARE(preview.State(), psCreating);
    preview.Canvas()->fillRect(preview.PageBounds(), PageColours[1]);
    preview.NewPage();
    preview.Canvas()->fillRect(preview.PageBounds(), PageColours[2]);
    preview.EndDoc();
    QCOMPARE(ends.count(), 1);
    QCOMPARE(preview.TotalPages(), 3);
}

void tst_PrintPreview::operationsKeepForeignStates()
{
    Preview p;
    TPrintPreview &preview = p.control;
    QVERIFY(preview.BeginOperation(psSavingPDF));
    QCOMPARE(preview.State(), psSavingPDF);
    QVERIFY(!preview.BeginOperation(psSavingTIF));
    preview.BeginDoc();
    QCOMPARE(preview.State(), psSavingPDF);
    preview.EndOperation(psSavingTIF);
    QCOMPARE(preview.State(), psSavingPDF);
    preview.EndOperation(psSavingPDF);
    QCOMPARE(preview.State(), psReady);
    preview.BeginDoc();
    QVERIFY(!preview.BeginOperation(psSavingPDF));
    preview.EndOperation(psSavingPDF);
    QCOMPARE(preview.State(), psCreating);
    preview.EndDoc();
}

void tst_PrintPreview::badStreamIsRefused()
{
    Preview p;
    p.Record(2);
    QBuffer buffer;
    buffer.setData(QByteArray("KWPX not a preview at all"));
    buffer.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(EPreviewLoadError, p.control.LoadFromStream(buffer));
    QCOMPARE(p.control.State(), psReady);
    QCOMPARE(p.control.TotalPages(), 2);
}

QTEST_MAIN(tst_PrintPreview)
#include "tst_print_preview.moc"
