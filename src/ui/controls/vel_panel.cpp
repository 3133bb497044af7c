#include "ui/controls/vel_panel.h"

#include "ui/controls/color_text.h"

#include <QCoreApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int Collapsed_Height = 30;
constexpr int Gradient_Lightening = 80;

// Vertical gradient from the colour lightened at the top to the colour itself at the bottom.
void Paint_Gradient(QPainter &painter, const QSize &size, const QColor &color)
{
    const QColor top = Lighten_Color(color, Gradient_Lightening);
    const int h = std::max(1, size.height());
    const double dr = double(color.red() - top.red()) / h;
    const double dg = double(color.green() - top.green()) / h;
    const double db = double(color.blue() - top.blue()) / h;
    for (int r = 0; r < size.height(); ++r) {
        auto channel = [r](int start, double step) { return std::clamp(start + int(std::ceil(step * r)), 0, 255); };
        painter.setPen(QColor(channel(top.red(), dr), channel(top.green(), dg), channel(top.blue(), db)));
        painter.drawLine(0, r, size.width() - 1, r);
    }
}
} // namespace

TVelPanel::TVelPanel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

TVelPanel::~TVelPanel() = default;

void TVelPanel::SetCaption(const QString &value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    updateGeometry();
    update();
}

QColor TVelPanel::Color() const
{
    return palette().color(QPalette::Window);
}

void TVelPanel::SetColor(const QColor &value)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, value);
    setPalette(p);
    update();
}

QColor TVelPanel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TVelPanel::SetFontColor(const QColor &value)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, value);
    setPalette(p);
    update();
}

void TVelPanel::SetAlignment(Qt::Alignment value)
{
    FAlignment = value & Qt::AlignHorizontal_Mask;
    update();
}

void TVelPanel::SetFlat(bool value)
{
    FFlat = value;
    update();
}

void TVelPanel::SetPenColor(const QColor &value)
{
    FPenColor = value;
    update();
}

void TVelPanel::SetBorderStyle(TBorderStyle value)
{
    FBorderStyle = value;
    update();
}

void TVelPanel::SetVerticalAlignment(TVerticalAlignment value)
{
    FVerticalAlignment = value;
    update();
}

void TVelPanel::SetPicture(const QPixmap &value)
{
    FPicture = value;
    update();
}

void TVelPanel::SetGradiant(bool value)
{
    FGradiant = value;
    update();
}

void TVelPanel::SetShowPicture(bool value)
{
    FShowPicture = value;
    update();
}

void TVelPanel::SetEnableControls(bool value)
{
    FEnableControls = value;
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setEnabled(value);
}

void TVelPanel::SetPictureStrech(bool value)
{
    FPictureStrech = value;
    update();
}

void TVelPanel::SetPictureAdjusted(bool value)
{
    FPictureAdjusted = value;
    update();
}

void TVelPanel::SetPictureCentered(bool value)
{
    FPictureCentered = value;
    update();
}

void TVelPanel::Set_Height(int h)
{
    const bool inLayout = parentWidget() && parentWidget()->layout()
                          && parentWidget()->layout()->indexOf(this) >= 0;
    if (inLayout)
        setFixedHeight(h);
    else
        resize(width(), h);
    if (isVisible()) {
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TVelPanel::ShowVertical()
{
    const int target = Base_Height();
    const int minH = minimumHeight();
    const int maxH = maximumHeight();
    setVisible(true);
    for (int h = Collapsed_Height; h <= target; ++h)
        Set_Height(h);
    setMinimumHeight(minH);
    setMaximumHeight(maxH);
    resize(width(), target);
}

void TVelPanel::HideVertical()
{
    const int target = Base_Height();
    const int minH = minimumHeight();
    const int maxH = maximumHeight();
    for (int h = height(); h >= Collapsed_Height; --h)
        Set_Height(h);
    setVisible(false);
    setMinimumHeight(minH);
    setMaximumHeight(maxH);
    resize(width(), target);
}

bool TVelPanel::IsMouseOnCaption(int x, int y) const
{
    const int w = fontMetrics().horizontalAdvance(FCaption);
    return x >= 0 && x <= w && y >= 0 && y <= height();
}

QRect TVelPanel::Picture_Rect(const QSize &panel) const
{
    const QSize pic = FPicture.isNull() ? panel : FPicture.size();
    if (FPictureStrech)
        return QRect(QPoint(0, 0), panel);
    if (FPictureCentered)
        return QRect((panel.width() - pic.width()) / 2, (panel.height() - pic.height()) / 2, pic.width(), pic.height());
    if (FPictureAdjusted) {
        const double scale = std::min(double(panel.width()) / std::max(1, pic.width()),
                                      double(panel.height()) / std::max(1, pic.height()));
        const int w = int(std::lround(pic.width() * scale));
        const int h = int(std::lround(pic.height() * scale));
        return QRect((panel.width() - w) / 2, (panel.height() - h) / 2, w, h);
    }
    return QRect(QPoint(0, 0), pic);
}

int TVelPanel::Caption_Flags() const
{
    int flags = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextShowMnemonic | Qt::AlignAbsolute;
    Qt::Alignment h = FAlignment & Qt::AlignHorizontal_Mask;
    if (h == Qt::AlignLeading || h == Qt::AlignLeft || h == 0)
        h = Qt::AlignLeft;
    else if (h == Qt::AlignTrailing)
        h = Qt::AlignRight;
    if (layoutDirection() == Qt::RightToLeft) {
        flags |= Qt::TextForceRightToLeft;
        if (h == Qt::AlignLeft)
            h = Qt::AlignRight;
    }
    flags |= int(h);
    switch (FVerticalAlignment) {
    case taAlignTop: flags |= Qt::AlignTop; break;
    case taAlignBottom: flags |= Qt::AlignBottom; break;
    case taVerticalCenter: flags |= Qt::AlignVCenter; break;
    }
    return flags;
}

QSize TVelPanel::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return QSize(std::max(30, fm.horizontalAdvance(FCaption) + 12), std::max(Collapsed_Height, fm.height() + 10));
}

void TVelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    if (FGradiant)
        Paint_Gradient(painter, size(), Color());
    else
        painter.fillRect(r, Color());

    if (FShowPicture && !FPicture.isNull())
        painter.drawPixmap(Picture_Rect(size()), FPicture);

    if (FBorderStyle == bsSingle) {
        if (FFlat) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(FPenColor);
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(r.adjusted(0, 0, -1, -1), 3, 3);
        } else {
            painter.setPen(Qt::white);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(QColor(192, 192, 192));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
    }

    if (!FCaption.isEmpty()) {
        const int inset = FBorderStyle == bsSingle ? 1 : 0;
        painter.setPen(FontColor());
        painter.setFont(font());
        painter.drawText(r.adjusted(inset, inset, -inset, -inset), Caption_Flags(), FCaption);
    }
}

void TVelPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        // children follow the panel both ways, also those disabled on their own before
        FEnableControls = isEnabled();
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setEnabled(FEnableControls);
    }
    if (event->type() == QEvent::LayoutDirectionChange || event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

void TVelPanel::enterEvent(QEnterEvent *event)
{
    emit OnMouseEnter();
    QWidget::enterEvent(event);
}

void TVelPanel::leaveEvent(QEvent *event)
{
    emit OnMouseLeave();
    QWidget::leaveEvent(event);
}

void TVelPanel::mousePressEvent(QMouseEvent *event)
{
    // accepted, so that the release comes back here and makes the click
    if (event->button() == Qt::LeftButton) {
        FPressed = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TVelPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click)
        emit OnClick();
    QWidget::mouseReleaseEvent(event);
}

