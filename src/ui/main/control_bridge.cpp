#include "ui/main/control_bridge.h"

#include <QTimer>

#include "ui/controls/color_text.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/main_window.h"
#include "ui/main/property_host.h"

namespace {

int Busy_Depth = 0;

} // namespace

void Control_Show_Find()
{
    if (TProperty_Host *host = TProperty_Host::Instance())
        host->Show_Find();
}

void Control_Select_Item(TArchItem *item)
{
    if (Tfrm_Main *main = Tfrm_Main::Instance(); main && item)
        main->Select_Item(item);
}

void Control_Item_Changed(TArchItem *item)
{
    if (Tfrm_Main *main = Tfrm_Main::Instance(); main && item)
        main->Item_Changed(item);
}

void Control_Item_Name_Edited(TArchItem *item)
{
    if (TProperty_Host *host = TProperty_Host::Instance(); host && item)
        host->Item_Name_Edited(item);
}

void Control_Close_Property()
{
    if (TProperty_Host *host = TProperty_Host::Instance())
        host->Close_Property();
}

bool Control_Save_Archive()
{
    Tfrm_Main *main = Tfrm_Main::Instance();
    return main && main->SaveArchive();
}

void Control_Localize_Main()
{
    if (Tfrm_Main *main = Tfrm_Main::Instance())
        main->Localize();
}

void Highlight_Button(TVelPanel *panel)
{
    if (!panel)
        return;
    panel->SetColor(Color_From_Text(panel->TextTag(), Color_From_Value(0)));
    if (panel->isEnabled() && panel->FontColor() != QColor(Qt::white))
        panel->SetFontColor(Qt::white);
    panel->SetBorderStyle(TVelPanel::bsSingle);
}

void Unhighlight_Button(TVelPanel *panel)
{
    if (!panel)
        return;
    panel->SetColor(Color_From_Value(quint32(panel->Tag())));
    const QColor normal(235, 235, 235);
    if (panel->isEnabled() && panel->FontColor() != normal)
        panel->SetFontColor(normal);
    panel->SetBorderStyle(TVelPanel::bsNone);
}

bool Main_Is_Busy()
{
    return Busy_Depth > 0;
}

TMain_Busy_Scope::TMain_Busy_Scope()
{
    ++Busy_Depth;
}

TMain_Busy_Scope::~TMain_Busy_Scope()
{
    if (--Busy_Depth == 0) {
        // Questions that waited for the loop are asked once control is back in the event loop.
        if (Tfrm_Main *main = Tfrm_Main::Instance())
            QTimer::singleShot(0, main, &Tfrm_Main::Busy_Ended);
    }
}
