#include "ui/controls/color_text.h"
#include "ui/controls/vel_panel.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
QImage Render(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Columns that hold a pixel darker than the given level.
std::pair<int, int> Dark_Columns(const QImage &image, int level = 100)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < level) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

void Prepare(TVelPanel &panel, const QSize &size)
{
    panel.resize(size);
    panel.SetColor(Qt::white);
    panel.SetFontColor(Qt::black);
}
} // namespace

class TestVelPanel : public QObject
{
    Q_OBJECT

private slots:
    void colorText_data();
    void colorText();
    void lighten_data();
    void lighten();
    void frames_data();
    void frames();
    void gradient();
    void captionPlacement_data();
    void captionPlacement();
    void pictureRect_data();
    void pictureRect();
    void pictureIsDrawn();
    void enablingReachesChildren();
    void mouseOnCaption();
    void showAndHideVertical();
    void clickAndStoredProperties();
};

void TestVelPanel::colorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::newRow("hover colour") << "$00C48400" << QColor(0x00, 0x84, 0xC4);
    QTest::newRow("lower case") << "$00ffeedd" << QColor(0xDD, 0xEE, 0xFF);
    QTest::newRow("hex prefix") << "0x000000FF" << QColor(255, 0, 0);
    QTest::newRow("decimal") << "65280" << QColor(0, 255, 0);
    QTest::newRow("no colour") << "$1FFFFFFF" << QColor();
    QTest::newRow("garbage") << "blue" << QColor(1, 2, 3);
    QTest::newRow("empty") << "" << QColor(1, 2, 3);
}

void TestVelPanel::colorText()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QCOMPARE(Color_From_Text(text, QColor(1, 2, 3)), color);
    if (color.isValid() && color != QColor(1, 2, 3)) {
        QCOMPARE(Color_From_Text(Color_To_Text(color)), color);
        QCOMPARE(Color_From_Value(Color_To_Value(color)), color);
    }
    QCOMPARE(Color_To_Text(QColor(0x00, 0x84, 0xC4)), QStringLiteral("$00C48400"));
    QCOMPARE(Color_To_Value(QColor()), clNone_Value);
}

void TestVelPanel::lighten_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("80 percent") << QColor(0, 100, 255) << 80 << QColor(204, 224, 255);
    QTest::newRow("rounded") << QColor(1, 2, 3) << 50 << QColor(128, 129, 129);
    QTest::newRow("none") << QColor(10, 20, 30) << 0 << QColor(10, 20, 30);
    QTest::newRow("capped at 100") << QColor(10, 20, 30) << 150 << QColor(255, 255, 255);
}

void TestVelPanel::lighten()
{
    QFETCH(QColor, color);
    QFETCH(int, percent);
    QFETCH(QColor, expected);
    QCOMPARE(Lighten_Color(color, percent), expected);
}

void TestVelPanel::frames_data()
{
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("border");
    QTest::addColumn<QColor>("top");
    QTest::addColumn<QColor>("left");
    QTest::addColumn<QColor>("bottom");
    QTest::addColumn<QColor>("right");
    const QColor pen(200, 30, 30);
    const QColor silver(192, 192, 192);
    const QColor back(40, 40, 40);
    QTest::newRow("flat single: pen colour all round") << true << int(TVelPanel::bsSingle) << pen << pen << pen << pen;
    QTest::newRow("flat none: no frame") << true << int(TVelPanel::bsNone) << back << back << back << back;
    QTest::newRow("3-d single") << false << int(TVelPanel::bsSingle) << QColor(Qt::white) << QColor(Qt::white) << silver
                                << silver;
    QTest::newRow("3-d none") << false << int(TVelPanel::bsNone) << back << back << back << back;
}

void TestVelPanel::frames()
{
    QFETCH(bool, flat);
    QFETCH(int, border);
    QFETCH(QColor, top);
    QFETCH(QColor, left);
    QFETCH(QColor, bottom);
    QFETCH(QColor, right);
    TVelPanel panel;
    panel.resize(60, 30);
    panel.SetColor(QColor(40, 40, 40));
    panel.SetFlat(flat);
    panel.SetPenColor(QColor(200, 30, 30));
    panel.SetBorderStyle(TVelPanel::TBorderStyle(border));
    const QImage image = Render(panel);
    QCOMPARE(QColor(image.pixel(30, 0)), top);
    QCOMPARE(QColor(image.pixel(0, 15)), left);
    QCOMPARE(QColor(image.pixel(30, 29)), bottom);
    QCOMPARE(QColor(image.pixel(59, 15)), right);
    QCOMPARE(QColor(image.pixel(30, 15)), QColor(40, 40, 40));
    if (flat && border == TVelPanel::bsSingle) {
        // rounded corners leave the corner pixel to the background
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(40, 40, 40));
    }
}

void TestVelPanel::gradient()
{
    TVelPanel panel;
    panel.resize(20, 50);
    panel.SetBorderStyle(TVelPanel::bsNone);
    panel.SetColor(QColor(0, 100, 200));
    panel.SetGradiant(true);
    const QImage image = Render(panel);
    QCOMPARE(QColor(image.pixel(10, 0)), Lighten_Color(QColor(0, 100, 200), 80));
    // the last row is one step short of the colour, each step rounded up
    const QColor last(image.pixel(10, 49));
    QVERIFY(qAbs(last.red() - 0) <= 5 && qAbs(last.green() - 100) <= 4 && qAbs(last.blue() - 200) <= 2);
    for (int y = 1; y < 50; ++y)
        QVERIFY(QColor(image.pixel(10, y)).red() <= QColor(image.pixel(10, y - 1)).red());
    panel.SetGradiant(false);
    QCOMPARE(QColor(Render(panel).pixel(10, 0)), QColor(0, 100, 200));
}

void TestVelPanel::captionPlacement_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<QString>("side");
    QTest::newRow("left ltr") << int(Qt::AlignLeft) << false << "left";
    QTest::newRow("left rtl drawn right") << int(Qt::AlignLeft) << true << "right";
    QTest::newRow("right ltr") << int(Qt::AlignRight) << false << "right";
    QTest::newRow("right rtl stays right") << int(Qt::AlignRight) << true << "right";
    QTest::newRow("centre rtl") << int(Qt::AlignHCenter) << true << "centre";
}

void TestVelPanel::captionPlacement()
{
    QFETCH(int, alignment);
    QFETCH(bool, rtl);
    QFETCH(QString, side);
    TVelPanel panel;
    Prepare(panel, QSize(300, 40));
    panel.SetBorderStyle(TVelPanel::bsNone);
    panel.SetCaption(QStringLiteral("Caption"));
    panel.SetAlignment(Qt::Alignment(alignment));
    panel.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    const auto [first, last] = Dark_Columns(Render(panel));
    QVERIFY(first >= 0);
    if (side == "left") {
        QVERIFY2(first < 10, qPrintable(QString::number(first)));
    } else if (side == "right") {
        QVERIFY2(last > 290, qPrintable(QString::number(last)));
    } else {
        QVERIFY(qAbs((first + last) / 2 - 150) < 6);
    }
    QCOMPARE(bool(panel.Caption_Flags() & Qt::TextForceRightToLeft), rtl);
}

void TestVelPanel::pictureRect_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("mode"); // 0 top-left, 1 stretch, 2 centred, 3 adjusted
    QTest::addColumn<QRect>("expected");
    const QSize wide(200, 50);
    QTest::newRow("own size at the corner") << wide << 0 << QRect(0, 0, 200, 50);
    QTest::newRow("stretched") << wide << 1 << QRect(0, 0, 100, 50);
    QTest::newRow("centred") << QSize(40, 20) << 2 << QRect(30, 15, 40, 20);
    QTest::newRow("adjusted: twice as wide, half size centred vertically") << wide << 3 << QRect(0, 12, 100, 25);
    QTest::newRow("adjusted: tall") << QSize(10, 100) << 3 << QRect(47, 0, 5, 50);
    QTest::newRow("adjusted: small grows") << QSize(10, 10) << 3 << QRect(25, 0, 50, 50);
    QTest::newRow("empty picture is the panel") << QSize() << 0 << QRect(0, 0, 100, 50);
}

void TestVelPanel::pictureRect()
{
    QFETCH(QSize, picture);
    QFETCH(int, mode);
    QFETCH(QRect, expected);
    TVelPanel panel;
    if (picture.isValid()) {
        QPixmap pixmap(picture);
        pixmap.fill(Qt::red);
        panel.SetPicture(pixmap);
    }
    panel.SetPictureStrech(mode == 1);
    panel.SetPictureCentered(mode == 2);
    panel.SetPictureAdjusted(mode == 3);
    QCOMPARE(panel.Picture_Rect(QSize(100, 50)), expected);
}

void TestVelPanel::pictureIsDrawn()
{
    TVelPanel panel;
    Prepare(panel, QSize(100, 50));
    panel.SetBorderStyle(TVelPanel::bsNone);
    QPixmap pixmap(200, 50);
    pixmap.fill(Qt::red);
    panel.SetPicture(pixmap);
    panel.SetPictureAdjusted(true);
    QImage image = Render(panel);
    QCOMPARE(QColor(image.pixel(50, 25)), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(50, 5)), QColor(Qt::white));
    panel.SetShowPicture(false);
    image = Render(panel);
    QCOMPARE(QColor(image.pixel(50, 25)), QColor(Qt::white));
}

void TestVelPanel::enablingReachesChildren()
{
    TVelPanel panel;
    auto *a = new QPushButton(&panel);
    auto *b = new QPushButton(&panel);
    auto *inner = new TVelPanel(&panel);
    auto *grandChild = new QPushButton(inner);
    b->setEnabled(false);
    panel.setEnabled(false);
    QVERIFY(!a->isEnabled() && !b->isEnabled() && !inner->isEnabled() && !grandChild->isEnabled());
    panel.setEnabled(true);
    // re-enabling enables them all, also the one that was disabled before
    QVERIFY(a->isEnabled() && b->isEnabled() && inner->isEnabled() && grandChild->isEnabled());
    QVERIFY(panel.EnableControls());

    panel.SetEnableControls(false);
    QVERIFY(panel.isEnabled());
    QVERIFY(!a->isEnabled() && !b->isEnabled());
    QVERIFY(!panel.EnableControls());
    panel.SetEnableControls(true);
    QVERIFY(a->isEnabled() && b->isEnabled());
}

void TestVelPanel::mouseOnCaption()
{
    TVelPanel panel;
    panel.resize(200, 30);
    panel.SetCaption(QStringLiteral("Units"));
    const int w = panel.fontMetrics().horizontalAdvance(QStringLiteral("Units"));
    QVERIFY(panel.IsMouseOnCaption(0, 0));
    QVERIFY(panel.IsMouseOnCaption(w, 30));
    QVERIFY(!panel.IsMouseOnCaption(w + 1, 10));
    QVERIFY(!panel.IsMouseOnCaption(5, 31));
    QVERIFY(!panel.IsMouseOnCaption(-1, 10));
}

void TestVelPanel::showAndHideVertical()
{
    QWidget form;
    form.resize(300, 300);
    auto *panel = new TVelPanel(&form);
    panel->setGeometry(0, 0, 200, 120);
    QCOMPARE(panel->Base_Height(), 120);
    form.show();
    panel->HideVertical();
    QVERIFY(panel->isHidden());
    QCOMPARE(panel->height(), 120);
    panel->ShowVertical();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->height(), 120);
    QCOMPARE(panel->Base_Height(), 120);
}

void TestVelPanel::clickAndStoredProperties()
{
    TVelPanel panel;
    panel.resize(80, 30);
    panel.show();
    QSignalSpy clicked(&panel, &TVelPanel::OnClick);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.size(), 1);
    // defaults
    QVERIFY(panel.Flat());
    QCOMPARE(panel.PenColor(), QColor(192, 192, 192));
    QCOMPARE(panel.BorderStyle(), TVelPanel::bsSingle);
    QCOMPARE(panel.VerticalAlignment(), TVelPanel::taAlignTop);
    QVERIFY(panel.ShowPicture() && !panel.Gradiant() && !panel.Checked());
    panel.SetTextTag(QStringLiteral("$00C48400"));
    panel.SetTag(Color_To_Value(QColor(50, 60, 70)));
    QCOMPARE(Color_From_Text(panel.TextTag()), QColor(0, 0x84, 0xC4));
    QCOMPARE(Color_From_Value(quint32(panel.Tag())), QColor(50, 60, 70));
}

QTEST_MAIN(TestVelPanel)
#include "tst_vel_panel.moc"
