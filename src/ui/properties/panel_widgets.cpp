#include "ui/properties/panel_widgets.h"

#include <QEvent>
#include <QPainter>

#include "local/localization.h"
#include "text/text_cleanup.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"

namespace {

// Hover look of a flat button on mouse enter and focus, like the main window's buttons.
class THover_Filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = static_cast<TVelPanel *>(watched);
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::FocusIn:
            Highlight_Button(button);
            break;
        case QEvent::Leave:
        case QEvent::FocusOut:
            Unhighlight_Button(button);
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

void Style_Panel(QWidget *panel)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Panel_Look::Background);
    palette.setColor(QPalette::WindowText, Panel_Look::Text);
    palette.setColor(QPalette::Text, Panel_Look::Text);
    palette.setColor(QPalette::ButtonText, Panel_Look::Text);
    palette.setColor(QPalette::Base, Panel_Look::Field);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}

void Style_Field(TVelCustomMemo *field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Panel_Look::Field);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    field->setPalette(palette);
    field->setFrameShape(QFrame::NoFrame);
}

TVelLabel *New_Panel_Label(QWidget *parent, const char *name)
{
    auto *label = new TVelLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->SetTransparent(true);
    label->SetFontColor(Panel_Look::Text);
    return label;
}

TVelPanel *New_Ok_Button(QWidget *parent)
{
    auto *button = new TVelPanel(parent);
    button->setObjectName(QStringLiteral("bt_Save"));
    button->SetTag(Panel_Look::Button_Tag);
    button->SetTextTag(QLatin1String(Panel_Look::Button_Hover_Tag));
    button->SetFlat(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(90, 32);
    Unhighlight_Button(button);
    button->installEventFilter(new THover_Filter(button));
    Show_Modified_Look(button, false);
    return button;
}

QPixmap Close_Picture(const QColor &color)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return picture;
}

TVelPanel *New_Close_Image(QWidget *parent)
{
    auto *image = new TVelPanel(parent);
    image->setObjectName(QStringLiteral("img_Close"));
    image->SetBorderStyle(TVelPanel::bsNone);
    image->SetColor(Panel_Look::Background);
    image->SetPicture(Close_Picture(Panel_Look::Text));
    image->SetPictureCentered(true);
    image->setCursor(Qt::PointingHandCursor);
    image->setFixedSize(24, 24);
    return image;
}

void Show_Modified_Look(TVelPanel *button, bool modified)
{
    button->SetFontColor(modified ? Panel_Look::Modified_Text : Panel_Look::Clean_Text);
    // paint now, so that the new look shows before any long work that follows
    if (button->isVisible())
        button->repaint();
    button->setEnabled(modified);
}

void Apply_Ok_Caption(TVelPanel *button, QWidget *name_field)
{
    const QString caption = Translate(QStringLiteral("OK"));
    button->SetCaption(caption);
    QFont font = button->font();
    font.setPointSize(12);
    if (Starts_Right_To_Left(caption)) {
        QFont nameFont = name_field->font();
        nameFont.setPointSize(13);
        name_field->setFont(nameFont);
        font.setPointSize(14);
    }
    button->setFont(font);
}
