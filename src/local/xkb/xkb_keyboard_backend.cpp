#include "local/xkb/xkb_keyboard_backend.h"

#if TARSEL_HAVE_XKB

#include <QCoreApplication>
#include <QSocketNotifier>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBstr.h>

namespace {

struct TDisplay_Closer
{
    void operator()(Display *display) const { XCloseDisplay(display); }
};

struct TKeyboard_Freer
{
    void operator()(XkbDescPtr desc) const { XkbFreeKeyboard(desc, 0, True); }
};

class TXkbKeyboardBackend : public TKeyboardBackend
{
public:
    TXkbKeyboardBackend(Display *display, int eventBase) : FDisplay(display), FEventBase(eventBase) {}

    QList<TLayoutInfo> InstalledLayouts() override
    {
        QList<TLayoutInfo> layouts;
        for (const QString &name : Group_Names())
            layouts.append(Layout_Info_From_Description(name));
        return layouts;
    }

    int ActiveIndex() override
    {
        XkbStateRec state;
        if (XkbGetState(FDisplay.get(), XkbUseCoreKbd, &state) != Success)
            return -1;
        return state.group;
    }

    bool Activate(int index) override
    {
        if (index < 0 || index >= XkbNumKbdGroups)
            return false;
        if (!XkbLockGroup(FDisplay.get(), XkbUseCoreKbd, unsigned(index)))
            return false;
        XSync(FDisplay.get(), False);
        // The notifications of our own switch: the component refreshes itself already.
        Drop_Pending_Events();
        return ActiveIndex() == index;
    }

    void SetChangeHandler(std::function<void()> handler) override
    {
        FHandler = std::move(handler);
        if (!FHandler) {
            FNotifier.reset();
            return;
        }
        // Socket notifiers need the event loop of a running application.
        if (FNotifier || !QCoreApplication::instance())
            return;
        XkbSelectEvents(FDisplay.get(), XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbNamesNotifyMask,
                        XkbNewKeyboardNotifyMask | XkbNamesNotifyMask);
        XkbSelectEventDetails(FDisplay.get(), XkbUseCoreKbd, XkbStateNotify, XkbGroupLockMask, XkbGroupLockMask);
        XFlush(FDisplay.get());
        FNotifier = std::make_unique<QSocketNotifier>(ConnectionNumber(FDisplay.get()), QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { Read_Events(); });
    }

private:
    QStringList Group_Names()
    {
        QStringList names;
        std::unique_ptr<XkbDescRec, TKeyboard_Freer> desc(XkbAllocKeyboard());
        if (!desc)
            return names;
        if (XkbGetNames(FDisplay.get(), XkbGroupNamesMask, desc.get()) != Success || !desc->names)
            return names;
        int count = XkbNumKbdGroups;
        if (XkbGetControls(FDisplay.get(), XkbGroupsWrapMask, desc.get()) == Success && desc->ctrls)
            count = qBound(0, int(desc->ctrls->num_groups), int(XkbNumKbdGroups));
        for (int i = 0; i < count; ++i) {
            const Atom atom = desc->names->groups[i];
            if (atom == None)
                break;
            char *text = XGetAtomName(FDisplay.get(), atom);
            if (!text)
                break;
            names.append(QString::fromUtf8(text));
            XFree(text);
        }
        return names;
    }

    void Drop_Pending_Events()
    {
        while (XPending(FDisplay.get()) > 0) {
            XEvent event;
            XNextEvent(FDisplay.get(), &event);
        }
    }

    void Read_Events()
    {
        bool changed = false;
        while (XPending(FDisplay.get()) > 0) {
            XEvent event;
            XNextEvent(FDisplay.get(), &event);
            if (event.type == FEventBase)
                changed = true;
        }
        if (changed && FHandler)
            FHandler();
    }

    std::unique_ptr<Display, TDisplay_Closer> FDisplay;
    int FEventBase;
    std::function<void()> FHandler;
    std::unique_ptr<QSocketNotifier> FNotifier;
};

} // namespace

std::unique_ptr<TKeyboardBackend> Create_Xkb_Keyboard_Backend()
{
    int eventBase = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display *display = XkbOpenDisplay(nullptr, &eventBase, &errorBase, &major, &minor, &reason);
    if (!display)
        return nullptr;
    return std::make_unique<TXkbKeyboardBackend>(display, eventBase);
}

#else

std::unique_ptr<TKeyboardBackend> Create_Xkb_Keyboard_Backend()
{
    return nullptr;
}

#endif

std::unique_ptr<TKeyboardBackend> Create_Keyboard_Backend()
{
    if (auto backend = Create_Xkb_Keyboard_Backend())
        return backend;
    return std::make_unique<TFixedKeyboardBackend>();
}
