#include "ui/main/property_host_attach.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include "ui/controls/vel_panel.h"
#include "ui/main/archive_tree.h"
#include "ui/main/control_bridge.h"
#include "ui/main/main_window.h"
#include "ui/main/property_host.h"
#include "ui/main/side_bar_icons.h"

namespace {

// The side bar's Properties and Find images: hover pictures and clicks.
class TSide_Image_Filter : public QObject
{
public:
    TSide_Image_Filter(TProperty_Host *host, Tfrm_Main *main, QLabel *property, QLabel *find)
        : QObject(host), FHost(host), FMain(main), FProperty(property), FFind(find)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *image = static_cast<QLabel *>(watched);
        const bool isProperty = image == FProperty;
        const bool active = image->property("Tag").toInt() == 1;
        switch (event->type()) {
        case QEvent::Enter:
            // the "on" picture while hovering, unless the command is already on
            if (!active)
                image->setPixmap(isProperty ? Property_Icon(Qt::white) : Find_Icon(Qt::white));
            break;
        case QEvent::Leave:
            if (!active)
                image->setPixmap(isProperty ? Property_Icon(QColor(190, 190, 190)) : Find_Icon(QColor(190, 190, 190)));
            break;
        case QEvent::MouseButtonRelease: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton || !image->rect().contains(mouse->position().toPoint()))
                return true;
            // both commands need an open archive
            if (!Current_Archive)
                return true;
            if (isProperty) {
                TArchive_Tree *tree = FMain->Tree();
                FHost->Toggle_Properties(tree->Item_Of_Node(tree->currentItem()));
            } else {
                FHost->Show_Find();
            }
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    TProperty_Host *FHost;
    Tfrm_Main *FMain;
    QLabel *FProperty;
    QLabel *FFind;
};

} // namespace

TProperty_Host *Attach_Property_Host(Tfrm_Main *main)
{
    TProperty_Host_Parts parts;
    parts.Host = main->Property_Host();
    parts.Header = parts.Host->findChild<TVelPanel *>(QStringLiteral("pnl_Properties"));
    parts.Property_Image = main->findChild<QLabel *>(QStringLiteral("img_Property"));
    parts.Property_On = Property_Icon(Qt::white);
    parts.Property_Off = Property_Icon(QColor(190, 190, 190));
    parts.Find_Image = main->findChild<QLabel *>(QStringLiteral("img_Find"));
    parts.Find_On = Find_Icon(Qt::white);
    parts.Find_Off = Find_Icon(QColor(190, 190, 190));
    parts.Tree = main->Tree();
    auto *host = new TProperty_Host(parts, main);

    auto *filter = new TSide_Image_Filter(host, main, parts.Property_Image, parts.Find_Image);
    for (QLabel *image : {parts.Property_Image, parts.Find_Image}) {
        if (!image)
            continue;
        image->installEventFilter(filter);
        image->setCursor(Qt::PointingHandCursor);
        image->show();
    }
    if (QAction *find = main->Action(QStringLiteral("mnu_Find"))) {
        find->setVisible(true);
        find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
        QObject::connect(find, &QAction::triggered, host, [host] {
            if (Current_Archive)
                host->Show_Find();
        });
    }

    TArchive_Tree *tree = main->Tree();
    tree->Set_Properties_Available(true);
    tree->Set_Assign_Files_Available(true);
    QObject::connect(tree, &TArchive_Tree::Properties_Requested, host,
                     [host](TArchItem *item) { host->Toggle_Properties(item); });
    QObject::connect(tree, &TArchive_Tree::Assign_Files_Requested, host,
                     [host](TDocument *document) { host->Assign_Document_Files(document); });
    QObject::connect(host, &TProperty_Host::Layout_Changed, main, &Tfrm_Main::Arrange_Panels);
    return host;
}
