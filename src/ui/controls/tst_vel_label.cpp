#include "ui/controls/vel_label.h"

#include <QApplication>
#include <QTest>

namespace {
QImage Render(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Bounding box of the pixels that match a test.
template <typename Test>
QRect Pixels(const QImage &image, Test test)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(QColor(image.pixel(x, y))))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool Is_Black(const QColor &c)
{
    return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

bool Is_Red(const QColor &c)
{
    return c.red() > 150 && c.green() < 90 && c.blue() < 90;
}

void Prepare(TVelLabel &label, const QString &caption, const QSize &size = QSize(120, 40))
{
    label.resize(size);
    label.SetCaption(caption);
    label.SetColor(Qt::white);
    label.SetFontColor(Qt::black);
    QFont f = label.font();
    f.setPixelSize(20);
    f.setBold(true);
    label.setFont(f);
}
} // namespace

class TestVelLabel : public QObject
{
    Q_OBJECT

private slots:
    void alignmentFlags_data();
    void alignmentFlags();
    void textAndShadowRects_data();
    void textAndShadowRects();
    void shadowFallsOnePixelRightAndBelow();
    void rightToLeftDrawing();
    void borderAndSelection();
    void disabledTextIsGrey();
    void transparentLeavesBackground();
    void selectingDeselectsSiblings();
    void accelerators();
    void storedFields();
};

void TestVelLabel::alignmentFlags_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<int>("drawn");
    QTest::newRow("left ltr") << int(Qt::AlignLeft) << false << int(Qt::AlignLeft);
    QTest::newRow("right ltr") << int(Qt::AlignRight) << false << int(Qt::AlignRight);
    QTest::newRow("centre ltr") << int(Qt::AlignHCenter) << false << int(Qt::AlignHCenter);
    QTest::newRow("left rtl at the right") << int(Qt::AlignLeft) << true << int(Qt::AlignRight);
    QTest::newRow("right rtl at the left") << int(Qt::AlignRight) << true << int(Qt::AlignLeft);
    QTest::newRow("centre rtl") << int(Qt::AlignHCenter) << true << int(Qt::AlignHCenter);
}

void TestVelLabel::alignmentFlags()
{
    QFETCH(int, alignment);
    QFETCH(bool, rtl);
    QFETCH(int, drawn);
    TVelLabel label;
    label.setAlignment(Qt::Alignment(alignment) | Qt::AlignVCenter);
    label.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    const int flags = label.Text_Flags();
    QCOMPARE(flags & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter), drawn);
    QVERIFY(flags & Qt::AlignAbsolute);
    QCOMPARE(bool(flags & Qt::TextForceRightToLeft), rtl);
    QVERIFY(flags & Qt::TextDontClip);
    QVERIFY(!(flags & Qt::TextWordWrap));
    label.setWordWrap(true);
    QVERIFY(label.Text_Flags() & Qt::TextWordWrap);
}

void TestVelLabel::textAndShadowRects_data()
{
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<QRect>("shadow");
    // width 100, height 40; text inset w+1 left and top, w+3 right; shadow w+2 on each
    QTest::newRow("width 1") << 1 << QRect(QPoint(1, 1), QPoint(100 - 3 - 1, 39)) << QRect(QPoint(2, 2), QPoint(100 - 2 - 1, 39));
    QTest::newRow("width 3") << 3 << QRect(QPoint(2, 2), QPoint(100 - 4 - 1, 39)) << QRect(QPoint(3, 3), QPoint(100 - 3 - 1, 39));
    QTest::newRow("width 4") << 4 << QRect(QPoint(3, 3), QPoint(100 - 5 - 1, 39)) << QRect(QPoint(4, 4), QPoint(100 - 4 - 1, 39));
}

void TestVelLabel::textAndShadowRects()
{
    QFETCH(int, borderWidth);
    QFETCH(QRect, text);
    QFETCH(QRect, shadow);
    TVelLabel label;
    label.resize(100, 40);
    label.SetCaption(QStringLiteral("x"));
    label.SetBorderWidth(borderWidth);
    QCOMPARE(label.Text_Rect(), text);
    QCOMPARE(label.Shadow_Rect(), shadow);

    // vertical centring moves both down, the shadow one pixel below the text
    label.SetVericalCenter(true);
    const int h = label.fontMetrics().boundingRect(label.rect(), label.Text_Flags(), label.text()).height();
    QCOMPARE(label.Text_Rect().top(), std::max((40 - h) / 2, borderWidth / 2 + 1));
    QCOMPARE(label.Shadow_Rect().top(), std::max((40 - h) / 2 + 1, borderWidth / 2 + 2));
    // never above the frame, however tall the text
    label.resize(100, 4);
    QCOMPARE(label.Text_Rect().top(), borderWidth / 2 + 1);
    QCOMPARE(label.Shadow_Rect().top(), borderWidth / 2 + 2);
}

void TestVelLabel::shadowFallsOnePixelRightAndBelow()
{
    TVelLabel label;
    Prepare(label, QStringLiteral("I"));
    QVERIFY(!label.ShadowColor().isValid()); // no colour by default
    QImage image = Render(label);
    const QRect alone = Pixels(image, Is_Black);
    QVERIFY(!alone.isEmpty());
    QVERIFY(Pixels(image, Is_Red).isEmpty());

    label.SetShadowColor(Qt::red);
    image = Render(label);
    const QRect text = Pixels(image, Is_Black);
    const QRect shadow = Pixels(image, Is_Red);
    QCOMPARE(text, alone);
    QCOMPARE(shadow.right(), text.right() + 1);
    QCOMPARE(shadow.bottom(), text.bottom() + 1);
}

void TestVelLabel::rightToLeftDrawing()
{
    TVelLabel label;
    Prepare(label, QStringLiteral("abc"), QSize(200, 40));
    label.setAlignment(Qt::AlignLeft);
    QRect text = Pixels(Render(label), Is_Black);
    QVERIFY(text.left() < 10);
    label.setLayoutDirection(Qt::RightToLeft);
    text = Pixels(Render(label), Is_Black);
    QVERIFY2(text.right() > 200 - 3 - 10, qPrintable(QString::number(text.right())));
}

void TestVelLabel::borderAndSelection()
{
    TVelLabel label;
    Prepare(label, QString(), QSize(60, 30));
    QImage image = Render(label);
    QCOMPARE(QColor(image.pixel(30, 1)), QColor(Qt::white));

    label.SetBorder(true);
    image = Render(label);
    QCOMPARE(QColor(image.pixel(30, 1)), QColor(128, 128, 128));
    QCOMPARE(QColor(image.pixel(1, 15)), QColor(128, 128, 128));
    QCOMPARE(QColor(image.pixel(30, 29)), QColor(128, 128, 128));
    QCOMPARE(QColor(image.pixel(59, 15)), QColor(128, 128, 128));
    QCOMPARE(QColor(image.pixel(30, 0)), QColor(Qt::white)); // frame starts one pixel in

    label.SetSelected(true);
    image = Render(label);
    QCOMPARE(QColor(image.pixel(30, 2)), QColor(0, 0, 255));
    QCOMPARE(QColor(image.pixel(30, 1)), QColor(128, 128, 128));

    // selection alone draws nothing without the border
    label.SetBorder(false);
    image = Render(label);
    QVERIFY(Pixels(image, [](const QColor &c) { return c == QColor(0, 0, 255); }).isEmpty());
}

void TestVelLabel::disabledTextIsGrey()
{
    TVelLabel label;
    Prepare(label, QStringLiteral("I"));
    label.setEnabled(false);
    const QImage image = Render(label);
    QVERIFY(Pixels(image, Is_Black).isEmpty());
    const QColor grey = QGuiApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    QVERIFY(!Pixels(image, [&](const QColor &c) { return c == grey; }).isEmpty());
}

void TestVelLabel::transparentLeavesBackground()
{
    QWidget parent;
    parent.resize(100, 40);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::green);
    parent.setPalette(p);
    parent.setAutoFillBackground(true);
    auto *label = new TVelLabel(&parent);
    label->resize(100, 40);
    label->SetColor(Qt::yellow);
    QCOMPARE(QColor(parent.grab().toImage().pixel(50, 20)), QColor(Qt::yellow));
    label->SetTransparent(true);
    QCOMPARE(QColor(parent.grab().toImage().pixel(50, 20)), QColor(Qt::green));
}

void TestVelLabel::selectingDeselectsSiblings()
{
    QWidget parent;
    QWidget other;
    auto *a = new TVelLabel(&parent);
    auto *b = new TVelLabel(&parent);
    auto *c = new TVelLabel(&parent);
    auto *elsewhere = new TVelLabel(&other);
    a->SetSelected(true);
    b->SetSelected(true);
    elsewhere->SetSelected(true);
    c->SetSelected(true);
    QVERIFY(!a->Selected());
    QVERIFY(!b->Selected());
    QVERIFY(c->Selected());
    QVERIFY(elsewhere->Selected());
    c->SetSelected(false);
    QVERIFY(!a->Selected() && !b->Selected() && !c->Selected());
}

void TestVelLabel::accelerators()
{
    TVelLabel label;
    label.SetCaption(QStringLiteral("&File"));
    QVERIFY(label.Text_Flags() & Qt::TextShowMnemonic);
    label.SetShowAccelChar(false);
    QVERIFY(!(label.Text_Flags() & Qt::TextShowMnemonic));
    // plain text: no rich-text interpretation of the caption
    label.SetCaption(QStringLiteral("<b>x</b>"));
    QCOMPARE(label.textFormat(), Qt::PlainText);
}

void TestVelLabel::storedFields()
{
    QWidget parent;
    new QWidget(&parent);
    new QWidget(&parent);
    auto *label = new TVelLabel(&parent);
    QCOMPARE(label->TabOrder, 2); // the number of components the owner already had
    QCOMPARE(label->BorderColor(), QColor(128, 128, 128));
    QCOMPARE(label->BorderWidth(), 1);
    QVERIFY(!label->Border() && !label->VericalCenter() && !label->Selected());
}

QTEST_MAIN(TestVelLabel)
#include "tst_vel_label.moc"
