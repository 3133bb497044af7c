#include "ui/properties/property_panel.h"

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "text/text_cleanup.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/panel_widgets.h"

TProperty_Panel::TProperty_Panel(QWidget *parent)
    : QWidget(parent)
{
    Style_Panel(this);
    bt_Save = New_Ok_Button(this);
    img_Close = New_Close_Image(this);
    connect(bt_Save, &TVelPanel::OnClick, this, [this] {
        if (FModified)
            Save_Item();
    });
    connect(img_Close, &TVelPanel::OnClick, this, [] { Control_Close_Property(); });
}

void TProperty_Panel::SetModified(bool value)
{
    FModified = value;
    Show_Modified_Look(bt_Save, value);
}

void TProperty_Panel::Item_Name_Edited(TArchItem *item)
{
    // Only the panel of the renamed item: another item's panel keeps its own edits.
    if (!item || item != Item() || !txt_Name)
        return;
    Building = true;
    txt_Name->SetText(item->Name);
    Building = false;
    SetModified(false);
}

void TProperty_Panel::showEvent(QShowEvent *event)
{
    Localize();
    QWidget::showEvent(event);
}

void TProperty_Panel::Field_Changed()
{
    if (!Building)
        SetModified(true);
}

void TProperty_Panel::Localize_Direction()
{
    setLayoutDirection(Local_Is_RTL() ? Qt::RightToLeft : Qt::LeftToRight);
    img_Close->setToolTip(Translate_In_Context(QStringLiteral("Close"), QStringLiteral("hint")));
}

QString Kept_Or_Cleaned(const QString &entry, const QString &stored)
{
    const QString cleaned = Clean_Text(entry);
    return cleaned.trimmed().isEmpty() ? stored : cleaned;
}
