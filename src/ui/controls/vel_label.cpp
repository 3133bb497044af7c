#include "ui/controls/vel_label.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TVelLabel::TVelLabel(QWidget *parent)
    : TVelLabel(QString(), parent)
{
}

TVelLabel::TVelLabel(const QString &caption, QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(caption);
    TabOrder = parent ? int(parent->children().size()) - 1 : 0;
}

void TVelLabel::SetCaption(const QString &value)
{
    if (text() == value)
        return;
    setText(value);
    update();
}

QColor TVelLabel::Color() const
{
    return palette().color(QPalette::Window);
}

void TVelLabel::SetColor(const QColor &value)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, value);
    setPalette(p);
    update();
}

QColor TVelLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TVelLabel::SetFontColor(const QColor &value)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, value);
    setPalette(p);
    update();
}

void TVelLabel::SetTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    update();
}

void TVelLabel::SetShowAccelChar(bool value)
{
    if (FShowAccelChar == value)
        return;
    FShowAccelChar = value;
    update();
}

void TVelLabel::SetShadowColor(const QColor &value)
{
    if (FShadowColor == value)
        return;
    FShadowColor = value;
    update();
}

void TVelLabel::SetBorder(bool value)
{
    if (FBorder == value)
        return;
    FBorder = value;
    update();
}

void TVelLabel::SetBorderColor(const QColor &value)
{
    if (FBorderColor == value)
        return;
    FBorderColor = value;
    update();
}

void TVelLabel::SetBorderWidth(int value)
{
    if (FBorderWidth == value)
        return;
    FBorderWidth = value;
    updateGeometry();
    update();
}

void TVelLabel::SetVericalCenter(bool value)
{
    if (FVericalCenter == value)
        return;
    FVericalCenter = value;
    update();
}

void TVelLabel::SetSelected(bool value)
{
    if (value && parent()) {
        for (QObject *sibling : parent()->children()) {
            auto *label = qobject_cast<TVelLabel *>(sibling);
            if (label && label != this)
                label->SetSelected(false);
        }
    }
    if (FSelected == value)
        return;
    FSelected = value;
    update();
}

int TVelLabel::Text_Flags() const
{
    int flags = Qt::TextDontClip | Qt::AlignAbsolute | Qt::AlignTop;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    if (FShowAccelChar)
        flags |= Qt::TextShowMnemonic;
    Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
    if (h == Qt::AlignLeading || h == 0)
        h = Qt::AlignLeft;
    else if (h == Qt::AlignTrailing)
        h = Qt::AlignRight;
    if (h == Qt::AlignJustify)
        h = Qt::AlignLeft;
    if (layoutDirection() == Qt::RightToLeft) {
        flags |= Qt::TextForceRightToLeft;
        if (h == Qt::AlignLeft)
            h = Qt::AlignRight;
        else if (h == Qt::AlignRight)
            h = Qt::AlignLeft;
    } else {
        flags |= Qt::TextForceLeftToRight;
    }
    return flags | int(h);
}

int TVelLabel::Measured_Text_Height() const
{
    return fontMetrics().boundingRect(rect(), Text_Flags(), text()).height();
}

QRect TVelLabel::Text_Rect() const
{
    const int w = FBorderWidth / 2;
    QRect r = rect();
    r.setLeft(w + 1);
    r.setTop(w + 1);
    r.setRight(width() - (w + 3) - 1);
    if (FVericalCenter)
        r.setTop(std::max((height() - Measured_Text_Height()) / 2, w + 1));
    return r;
}

QRect TVelLabel::Shadow_Rect() const
{
    const int w = FBorderWidth / 2;
    QRect r = rect();
    r.setLeft(w + 2);
    r.setTop(w + 2);
    r.setRight(width() - (w + 2) - 1);
    if (FVericalCenter)
        r.setTop(std::max((height() - Measured_Text_Height()) / 2 + 1, w + 2));
    return r;
}

QSize TVelLabel::sizeHint() const
{
    const int w = FBorderWidth / 2;
    const int avail = wordWrap() && width() > 0 ? std::max(1, width() - 2 * w - 4) : 100000;
    const QRect b = fontMetrics().boundingRect(QRect(0, 0, avail, 100000), Text_Flags() & ~Qt::TextDontClip, text());
    return QSize(b.width() + 2 * w + 4, b.height() + 2 * w + 3);
}

QSize TVelLabel::minimumSizeHint() const
{
    return wordWrap() ? QSize(0, 0) : sizeHint();
}

void TVelLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!FTransparent)
        painter.fillRect(rect(), Color());
    const int flags = Text_Flags();
    painter.setFont(font());
    if (FShadowColor.isValid()) {
        painter.setPen(FShadowColor);
        painter.drawText(Shadow_Rect(), flags, text());
    }
    painter.setPen(isEnabled() ? FontColor()
                               : QGuiApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(Text_Rect(), flags, text());
    if (FBorder) {
        const int bw = std::max(1, FBorderWidth);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(FBorderColor, bw, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRect(1, 1, width() - 2, height() - 2));
        if (FSelected) {
            painter.setPen(QPen(QColor(0, 0, 255), bw, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.drawRect(QRect(1 + bw, 1 + bw, width() - 2 - 2 * bw, height() - 2 - 2 * bw));
        }
    }
}

void TVelLabel::leaveEvent(QEvent *event)
{
    emit OnMouseLeave();
    QLabel::leaveEvent(event);
}

void TVelLabel::mousePressEvent(QMouseEvent *event)
{
    // accepted, so that the release comes back here and makes the click
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void TVelLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick();
    QLabel::mouseReleaseEvent(event);
}
