#include "preview/paper_preview.h"
#include "preview/paper_preview_options.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// Counts frame drawings, so tests can tell a page repaint from a full one.
class CountingPaper : public TPaperPreview
{
public:
    int frames = 0;

protected:
    void DrawPageFrame(QPainter &canvas) override
    {
        ++frames;
        TPaperPreview::DrawPageFrame(canvas);
    }
};

QImage Render(QWidget &widget)
{
    // a hidden widget is sent a resize event on every grab, which would stale its copy
    if (!widget.isVisible()) {
        widget.setAttribute(Qt::WA_DontShowOnScreen);
        widget.show();
        QCoreApplication::sendPostedEvents();
    }
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_PaperPreview : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void frameWidthChangeKeepsPaperSize();
    void frameWidthChangeWithoutPreserving();
    void frameDrawing_data();
    void frameDrawing();
    void invalidateRepaintsPageOnly();
    void paintHandlerSeesPageRect();
    void captionTakesRoomBelowPaper();
    void optionsFrameAndAssign();
};

void tst_PaperPreview::geometry_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QRect>("pageRect");
    QTest::newRow("defaults") << 1 << 3 << QSize(205, 305) << QRect(1, 1, 200, 300);
    QTest::newRow("no shadow") << 1 << 0 << QSize(202, 302) << QRect(1, 1, 200, 300);
    QTest::newRow("no frame") << 0 << 0 << QSize(200, 300) << QRect(0, 0, 200, 300);
    QTest::newRow("wide border") << 4 << 2 << QSize(210, 310) << QRect(4, 4, 200, 300);
}

void tst_PaperPreview::geometry()
{
    QFETCH(int, border);
    QFETCH(int, shadow);
    QFETCH(QSize, widget);
    QFETCH(QRect, pageRect);
    TPaperPreview paper;
    paper.SetBorderWidth(border);
    paper.SetShadowWidth(shadow);
    paper.SetBoundsEx(7, 9, 200, 300);
    QCOMPARE(paper.size(), widget);
    QCOMPARE(paper.pos(), QPoint(7, 9));
    QCOMPARE(paper.PageRect(), pageRect);
    QCOMPARE(paper.PaperSize(), QSize(200, 300));
    QCOMPARE(paper.ClientToPaper(QPoint(10, 10)), QPoint(10 - border, 10 - border));
    QCOMPARE(paper.PaperToClient(QPoint(0, 0)), QPoint(border, border));
    // a plain resize keeps the paper area in step
    paper.resize(widget + QSize(10, 20));
    QCOMPARE(paper.PageRect(), QRect(border, border, 210, 320));
}

void tst_PaperPreview::frameWidthChangeKeepsPaperSize()
{
    TPaperPreview paper;
    paper.SetPaperSize(QSize(200, 300));
    paper.SetShadowWidth(10);
    QCOMPARE(paper.PaperSize(), QSize(200, 300));
    QCOMPARE(paper.size(), QSize(212, 312));
    paper.SetBorderWidth(0);
    QCOMPARE(paper.PaperSize(), QSize(200, 300));
    QCOMPARE(paper.PageRect(), QRect(0, 0, 200, 300));
}

void tst_PaperPreview::frameWidthChangeWithoutPreserving()
{
    TPaperPreview paper;
    paper.SetPreservePaperSize(false);
    paper.SetPaperSize(QSize(200, 300));
    paper.SetShadowWidth(10);
    QCOMPARE(paper.size(), QSize(205, 305));
    QCOMPARE(paper.PaperSize(), QSize(193, 293));
    QCOMPARE(paper.PageRect(), QRect(1, 1, 193, 293));
}

void tst_PaperPreview::frameDrawing_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("shadow");
    QTest::newRow("border and shadow") << 1 << 3;
    QTest::newRow("no shadow") << 1 << 0;
    QTest::newRow("no border") << 0 << 3;
    QTest::newRow("neither") << 0 << 0;
}

void tst_PaperPreview::frameDrawing()
{
    QFETCH(int, border);
    QFETCH(int, shadow);
    TPaperPreview paper;
    const QColor background(30, 30, 30);
    const QColor shadowColor(0, 0, 255);
    paper.SetColor(background);
    paper.SetShadowColor(shadowColor);
    paper.SetBorderColor(Qt::red);
    paper.SetPaperColor(Qt::white);
    paper.SetBorderWidth(border);
    paper.SetShadowWidth(shadow);
    paper.SetBoundsEx(0, 0, 40, 30);
    const QImage image = Render(paper);
    QCOMPARE(image.size(), QSize(40 + 2 * border + shadow, 30 + 2 * border + shadow));
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    // paper
    QCOMPARE(image.pixelColor(border + 20, border + 15), QColor(Qt::white));
    // border: the top-left corner of the box, else paper there
    QCOMPARE(image.pixelColor(0, 0), border ? QColor(Qt::red) : QColor(Qt::white));
    QCOMPARE(image.pixelColor(right - shadow, bottom - shadow), border ? QColor(Qt::red) : QColor(Qt::white));
    if (shadow > 0) {
        // the offset shadow leaves its two far corners in the background
        QCOMPARE(image.pixelColor(right, 0), background);
        QCOMPARE(image.pixelColor(0, bottom), background);
        QCOMPARE(image.pixelColor(right, shadow), shadowColor);
        QCOMPARE(image.pixelColor(right, bottom), shadowColor);
        QCOMPARE(image.pixelColor(shadow, bottom), shadowColor);
    }
    // nothing on the widget is left in the shadow colour without a shadow
    if (shadow == 0) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixelColor(x, y) != shadowColor);
    }
}

void tst_PaperPreview::invalidateRepaintsPageOnly()
{
    CountingPaper paper;
    paper.SetBoundsEx(0, 0, 60, 80);
    int paints = 0;
    connect(&paper, &TPaperPreview::OnPaint, [&](TPaperPreview *, QPainter *, const QRect &) { ++paints; });

    Render(paper);
    QCOMPARE(paper.frames, 1);
    QCOMPARE(paints, 1);
    QVERIFY(paper.IsOffScreenPrepared());
    QVERIFY(paper.IsOffScreenReady());

    // an unchanged repaint comes from the copy
    Render(paper);
    QCOMPARE(paper.frames, 1);
    QCOMPARE(paints, 1);

    paper.Invalidate();
    QVERIFY(paper.IsOffScreenPrepared());
    QVERIFY(!paper.IsOffScreenReady());
    Render(paper);
    QCOMPARE(paper.frames, 1);
    QCOMPARE(paints, 2);

    paper.InvalidateAll();
    QVERIFY(!paper.IsOffScreenPrepared());
    Render(paper);
    QCOMPARE(paper.frames, 2);
    QCOMPARE(paints, 3);

    // a colour change redraws the frame too
    paper.SetBorderColor(Qt::green);
    Render(paper);
    QCOMPARE(paper.frames, 3);
}

void tst_PaperPreview::paintHandlerSeesPageRect()
{
    TPaperPreview paper;
    paper.SetBoundsEx(0, 0, 50, 40);
    QRect seen;
    connect(&paper, &TPaperPreview::OnPaint, [&](TPaperPreview *, QPainter *canvas, const QRect &pageRect) {
        seen = pageRect;
        // drawing beyond the page is clipped away: the frame stays intact
        canvas->fillRect(QRect(-10, -10, 100, 100), Qt::green);
    });
    const QImage image = Render(paper);
    QCOMPARE(seen, QRect(1, 1, 50, 40));
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::green));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), paper.ShadowColor().rgb());
}

void tst_PaperPreview::captionTakesRoomBelowPaper()
{
    TPaperPreview paper;
    paper.SetPaperSize(QSize(100, 100));
    paper.SetCaption(QStringLiteral("Page 1"));
    paper.SetShowCaption(true);
    QVERIFY(paper.CaptionHeight() > 2);
    QCOMPARE(paper.PaperSize(), QSize(100, 100));
    QCOMPARE(paper.height(), 100 + 2 + 3 + paper.CaptionHeight());
    QCOMPARE(paper.PageRect(), QRect(1, 1, 100, 100));
    // long text wraps into more lines and a taller band
    const int oneLine = paper.CaptionHeight();
    paper.SetCaption(QStringLiteral("a rather long caption that cannot fit on one line of this sheet"));
    QVERIFY(paper.CaptionHeight() > oneLine);
    paper.SetWordWrap(false);
    QCOMPARE(paper.CaptionHeight(), oneLine);
    paper.SetShowCaption(false);
    QCOMPARE(paper.CaptionHeight(), 0);
    QCOMPARE(paper.size(), QSize(105, 105));
}

void tst_PaperPreview::optionsFrameAndAssign()
{
    TPaperPreviewOptions options;
    QSignalSpy spy(&options, &TPaperPreviewOptions::OnChange);
    options.SetShadowWidth(3);
    QCOMPARE(spy.count(), 0);
    options.SetShadowWidth(2);
    options.SetPaperColor(Qt::yellow);
    options.SetHint(QStringLiteral("hint"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(1).value<TUpdateSeverity>(), usRecreate);
    QCOMPARE(spy.at(1).at(1).value<TUpdateSeverity>(), usRedraw);
    QCOMPARE(spy.at(2).at(1).value<TUpdateSeverity>(), usNone);

    QRect paperRect, boxRect;
    options.CalcDimensions(20, 10, paperRect, boxRect);
    QCOMPARE(paperRect, QRect(1, 1, 20, 10));
    QCOMPARE(boxRect, QRect(0, 0, 24, 14));

    QImage image(boxRect.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setBrush(QColor(30, 30, 30));
        options.SetShadowColor(Qt::blue);
        options.Draw(painter, boxRect);
    }
    QCOMPARE(image.pixelColor(23, 0), QColor(30, 30, 30));
    QCOMPARE(image.pixelColor(0, 13), QColor(30, 30, 30));
    QCOMPARE(image.pixelColor(23, 13), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(21, 11), QColor(Qt::black));
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));

    TPaperPreviewOptions copy;
    copy.Assign(options);
    QCOMPARE(copy.ShadowWidth(), 2);
    QCOMPARE(copy.PaperColor(), QColor(Qt::yellow));
    QCOMPARE(copy.Hint(), QStringLiteral("hint"));

    TPaperPreview paper;
    paper.SetPaperSize(QSize(50, 50));
    options.AssignTo(&paper);
    QCOMPARE(paper.ShadowWidth(), 2);
    QCOMPARE(paper.PaperColor(), QColor(Qt::yellow));
    QCOMPARE(paper.toolTip(), QStringLiteral("hint"));
    QCOMPARE(paper.PaperSize(), QSize(50, 50));
}

QTEST_MAIN(tst_PaperPreview)
#include "tst_paper_preview.moc"
