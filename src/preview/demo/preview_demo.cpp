// Records the image files named on the command line as pages, one image a page scaled to
// the paper, and shows them in the preview control.
//
//   preview_demo [--zoom fit|width|height|PERCENT] [--gray] [--rtl] [--page N]
//                [--screenshot FILE] IMAGE...

#include "preview/print_preview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

namespace {

void ShowStatus(QMainWindow &window, const TPrintPreview &preview)
{
    window.statusBar()->showMessage(QStringLiteral("Page %1 of %2, zoom %3 %").arg(preview.CurrentPage())
                                        .arg(preview.TotalPages()).arg(preview.Zoom()));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption zoomOption(QStringLiteral("zoom"), QStringLiteral("fit, width, height or a percentage"),
                                        QStringLiteral("zoom"), QStringLiteral("fit"));
    const QCommandLineOption grayOption(QStringLiteral("gray"), QStringLiteral("Show the pages in gray"));
    const QCommandLineOption rtlOption(QStringLiteral("rtl"), QStringLiteral("Right-to-left layout"));
    const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("Page to show"), QStringLiteral("page"),
                                        QStringLiteral("1"));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"), QStringLiteral("Save a picture of the window and quit"),
                                        QStringLiteral("file"));
    parser.addOptions({zoomOption, grayOption, rtlOption, pageOption, shotOption});
    parser.addPositionalArgument(QStringLiteral("images"), QStringLiteral("Image files, one page each"));
    parser.process(app);

    if (parser.isSet(rtlOption))
        app.setLayoutDirection(Qt::RightToLeft);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Preview"));
    auto *preview = new TPrintPreview(&window);
    preview->SetColor(QColor(30, 30, 30));
    window.setCentralWidget(preview);
    window.resize(900, 700);

    const QString zoom = parser.value(zoomOption);
    if (zoom == QLatin1String("width"))
        preview->SetZoomState(zsZoomToWidth);
    else if (zoom == QLatin1String("height"))
        preview->SetZoomState(zsZoomToHeight);
    else if (zoom != QLatin1String("fit"))
        preview->SetZoom(zoom.toInt());
    if (parser.isSet(grayOption))
        preview->SetGrayscale(gsPreview);

    window.show();
    preview->BeginDoc();
    bool first = true;
    for (const QString &file : parser.positionalArguments()) {
        const TPreviewGraphic graphic = TPreviewGraphic::FromFile(file);
        if (graphic.IsEmpty()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            continue;
        }
        if (!first)
            preview->NewPage();
        first = false;
        preview->PaintGraphicEx(preview->PageBounds(), graphic, true, false, true);
        QCoreApplication::processEvents();
    }
    preview->EndDoc();
    preview->SetCurrentPage(parser.value(pageOption).toInt());
    preview->setFocus();

    QObject::connect(preview, &TPrintPreview::OnChange, &window, [&] { ShowStatus(window, *preview); });
    QObject::connect(preview, &TPrintPreview::OnZoomChange, &window, [&] { ShowStatus(window, *preview); });
    ShowStatus(window, *preview);

    if (parser.isSet(shotOption)) {
        const QString file = parser.value(shotOption);
        QTimer::singleShot(300, &window, [&window, file] {
            window.grab().save(file);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
