#include "platform/DialogWindow.h"

#include "platform/Interruption.h"
#include "platform/MessageBox.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/fl_draw.H>

#include <cassert>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <clocale>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

// The 8-point dialog font measures 6 x 13 pixels a character cell at 96 dpi;
// a dialog unit is a quarter of its width and an eighth of its height.
static constexpr double kPixelsPerUnitX = 1.5;
static constexpr double kPixelsPerUnitY = 1.625;
// Text size of the controls, close to the 8-point dialog font.
static constexpr int kFontSize = 11;
// Height of a combo box's edit field, in pixels.
static constexpr int kComboFieldHeight = 21;

int dialogUnitsToPixelsX(int units)
{
    return static_cast<int>(std::lround(units * kPixelsPerUnitX));
}

int dialogUnitsToPixelsY(int units)
{
    return static_cast<int>(std::lround(units * kPixelsPerUnitY));
}

static bool isEnterKey(int key)
{
    return key == FL_Enter || key == FL_KP_Enter;
}

// ---------------------------------------------------------------------------
// Controls

// A push button that ends the dialog with its control id. The focused button
// takes Enter itself; the default button takes Enter wherever else the focus
// is, and wears the dark frame of a default button.
class DialogButton : public Fl_Button {
public:
    DialogButton(int x, int y, int w, int h, const char* text, bool isDefault)
        : Fl_Button(x, y, w, h, text), isDefault(isDefault) {}

    int handle(int event) override
    {
        if (event == FL_KEYBOARD && Fl::focus() == this && isEnterKey(Fl::event_key())) {
            do_callback();
            return 1;
        }
        if (event == FL_SHORTCUT && isDefault && isEnterKey(Fl::event_key())) {
            do_callback();
            return 1;
        }
        return Fl_Button::handle(event);
    }

    void draw() override
    {
        Fl_Button::draw();
        if (isDefault) {
            fl_color(FL_BLACK);
            fl_rect(x(), y(), w(), h());
        }
    }

private:
    bool isDefault;
};

// The editable drop-down. Its list drops under the whole field at the field's
// width. Up and Down pick the neighbouring entry of the one the field shows
// (the first entry when it shows none); Alt+Down and F4 drop the list.
class DialogCombo : public Fl_Input_Choice {
public:
    DialogCombo(int x, int y, int w, int h) : Fl_Input_Choice(x, y, w, h)
    {
        // One tab stop per combo, as a dialog has: the arrow button is for the mouse.
        menubutton()->clear_visible_focus();
    }

    int handle(int event) override
    {
        if (event == FL_PUSH && Fl::event_inside(menubutton())) {
            dropList();
            return 1;
        }
        return Fl_Input_Choice::handle(event);
    }

    // Keys for the combo while its field has the focus; 1 when used.
    int handleKey(int key)
    {
        const bool alt = Fl::event_state(FL_ALT) != 0;
        if ((key == FL_Down && alt) || key == FL_F + 4) {
            dropList();
            return 1;
        }
        if ((key != FL_Up && key != FL_Down) || alt)
            return 0;
        const int count = entryCount();
        if (count == 0)
            return 1;
        const int current = currentEntry();
        int next = current;
        if (current < 0)
            next = 0;
        else if (key == FL_Down && current + 1 < count)
            next = current + 1;
        else if (key == FL_Up && current > 0)
            next = current - 1;
        value(next);
        input()->position(input()->size(), 0);
        return 1;
    }

private:
    // The menu array ends with a terminator item.
    int entryCount() { return menubutton()->size() > 0 ? menubutton()->size() - 1 : 0; }

    // Index of the entry whose text the field shows, -1 for typed text.
    int currentEntry()
    {
        for (int i = 0; i < entryCount(); ++i) {
            const char* text = menubutton()->text(i);
            if (text && std::strcmp(text, value()) == 0)
                return i;
        }
        return -1;
    }

    void dropList()
    {
        Fl_Menu_Button* menu = menubutton();
        if (entryCount() == 0)
            return;
        // No item passed as picked: the toolkit would lay the list over the
        // field to line that item up, where a dialog drops it below.
        const Fl_Menu_Item* item = menu->menu()->pulldown(x(), y(), w(), h(), nullptr, menu);
        if (item) {
            // Through the menu's own pick, so the field takes the entry's text.
            menu->picked(item);
            input()->take_focus();
            input()->position(input()->size(), 0);
        }
    }
};

// Sees every event before the widgets do: a combo's field would otherwise
// take Up and Down for itself.
static int dispatchDialogEvent(int event, Fl_Window* window)
{
    // While the dropped list holds the grab, its keys are its own.
    if (event == FL_KEYBOARD && !Fl::grab()) {
        for (Fl_Widget* w = Fl::focus(); w; w = w->parent()) {
            if (DialogCombo* combo = dynamic_cast<DialogCombo*>(w)) {
                if (combo->handleKey(Fl::event_key()))
                    return 1;
                break;
            }
        }
    }
    return Fl::handle_(event, window);
}

// ---------------------------------------------------------------------------
// Dialog

struct DialogWindow::Impl {
    struct Control {
        int id;
        DialogControlKind kind;
        Fl_Widget* widget; // owned by the window
    };

    std::unique_ptr<Fl_Double_Window> window;
    std::vector<Control> controls;
    std::vector<std::vector<unsigned char>> iconPixels;
    std::vector<std::unique_ptr<Fl_RGB_Image>> icons;
    int result = kDialogCancel;

    static void buttonPressed(Fl_Widget* widget, void* data);
    static void windowClosed(Fl_Widget* widget, void* data);

    const Control* find(int id, DialogControlKind kind) const
    {
        for (const Control& c : controls) {
            if (c.id == id && (c.kind == kind || (kind == DialogControlKind::Button &&
                                                  c.kind == DialogControlKind::DefaultButton)))
                return &c;
        }
        return nullptr;
    }
};

// FLTK reports a display it cannot open through its fatal hook; route it to
// the player's own error box so the text reaches stderr the usual way.
static void fatalFromToolkit(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    showMessageBox("error", text, BoxIcon::Stop);
    exitProcess(1);
}

void DialogWindow::Impl::buttonPressed(Fl_Widget* widget, void* data)
{
    Impl* impl = static_cast<Impl*>(data);
    for (const auto& c : impl->controls) {
        if (c.widget == widget)
            impl->result = c.id;
    }
    impl->window->hide();
}

void DialogWindow::Impl::windowClosed(Fl_Widget*, void* data)
{
    // Escape or the close box: the dialog's cancel.
    Impl* impl = static_cast<Impl*>(data);
    impl->result = kDialogCancel;
    impl->window->hide();
}

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate) : impl(new Impl)
{
    Fl::fatal = fatalFromToolkit;
    Fl::scheme("gtk+");
    Fl::visible_focus(1);
    // The dialog font's texts are narrow: a condensed sans keeps them inside
    // their controls (fontconfig falls back to the plain sans without it).
    Fl::set_font(FL_HELVETICA, "DejaVu Sans Condensed");
    // The grey of a classic dialog face.
    Fl::background(212, 208, 200);

    const int width = dialogUnitsToPixelsX(dialogTemplate.width);
    const int height = dialogUnitsToPixelsY(dialogTemplate.height);
    impl->window = std::make_unique<Fl_Double_Window>(width, height, dialogTemplate.title);
    Fl_Double_Window* window = impl->window.get();
    window->callback(Impl::windowClosed, impl);

    for (int i = 0; i < dialogTemplate.controlCount; ++i) {
        const DialogControl& c = dialogTemplate.controls[i];
        const int x = dialogUnitsToPixelsX(c.x);
        const int y = dialogUnitsToPixelsY(c.y);
        const int w = dialogUnitsToPixelsX(c.width);
        const int h = dialogUnitsToPixelsY(c.height);
        Fl_Widget* widget = nullptr;
        switch (c.kind) {
        case DialogControlKind::DefaultButton:
        case DialogControlKind::Button: {
            auto* b = new DialogButton(x, y, w, h, c.text, c.kind == DialogControlKind::DefaultButton);
            b->callback(Impl::buttonPressed, impl);
            widget = b;
            break;
        }
        case DialogControlKind::CheckBox:
            widget = new Fl_Check_Button(x, y, w, h, c.text);
            break;
        case DialogControlKind::ComboBox: {
            auto* combo = new DialogCombo(x, y, w, kComboFieldHeight);
            combo->textsize(kFontSize);
            combo->menubutton()->textsize(kFontSize);
            widget = combo;
            break;
        }
        case DialogControlKind::Label: {
            auto* label = new Fl_Box(x, y, w, h, c.text);
            label->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
            widget = label;
            break;
        }
        }
        widget->labelsize(kFontSize);
        impl->controls.push_back({c.id, c.kind, widget});
    }
    window->end();
    window->set_modal();
}

DialogWindow::~DialogWindow()
{
    delete impl;
}

void DialogWindow::setIcons(const IconImage* icons, int count)
{
    impl->icons.clear();
    impl->iconPixels.clear();
    std::vector<const Fl_RGB_Image*> list;
    for (int i = 0; i < count; ++i) {
        const IconImage& icon = icons[i];
        impl->iconPixels.emplace_back(icon.rgba, icon.rgba + icon.width * icon.height * 4);
        impl->icons.push_back(
            std::make_unique<Fl_RGB_Image>(impl->iconPixels.back().data(), icon.width, icon.height, 4));
        list.push_back(impl->icons.back().get());
    }
    // The window copies the images.
    impl->window->icons(list.data(), static_cast<int>(list.size()));
}

void DialogWindow::addComboString(int id, const char* text)
{
    const Impl::Control* c = impl->find(id, DialogControlKind::ComboBox);
    assert(c);
    // The menu reads "/" as a submenu, "_" as a divider and "\\" as an
    // escape: escape them so that the entry is the text as given.
    std::string escaped;
    for (const char* p = text; *p; ++p) {
        if (*p == '/' || *p == '\\' || *p == '_')
            escaped += '\\';
        escaped += *p;
    }
    static_cast<DialogCombo*>(c->widget)->menubutton()->add(escaped.c_str());
}

void DialogWindow::setComboSelection(int id, int index)
{
    const Impl::Control* c = impl->find(id, DialogControlKind::ComboBox);
    assert(c);
    static_cast<DialogCombo*>(c->widget)->value(index);
}

std::string DialogWindow::comboText(int id) const
{
    const Impl::Control* c = impl->find(id, DialogControlKind::ComboBox);
    assert(c);
    const char* text = static_cast<DialogCombo*>(c->widget)->value();
    return text ? text : "";
}

void DialogWindow::setCheck(int id, int checked)
{
    const Impl::Control* c = impl->find(id, DialogControlKind::CheckBox);
    assert(c);
    static_cast<Fl_Check_Button*>(c->widget)->value(checked ? 1 : 0);
}

int DialogWindow::check(int id) const
{
    const Impl::Control* c = impl->find(id, DialogControlKind::CheckBox);
    assert(c);
    return static_cast<Fl_Check_Button*>(c->widget)->value();
}

int DialogWindow::runModal()
{
    Fl_Double_Window* window = impl->window.get();
    impl->result = kDialogCancel;
    // The toolkit switches the character type to the user's locale when it
    // opens the display; the run after the dialog gets the process as it was
    // (window titles, for one, are then written as plain strings again).
    const std::string savedLocale = std::setlocale(LC_CTYPE, nullptr);
    fl_open_display();
    // Centred on the screen, as a dialog without an owner comes up.
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh);
    window->position(sx + (sw - window->w()) / 2, sy + (sh - window->h()) / 2);
    Fl::event_dispatch(dispatchDialogEvent);
    window->show();
    // A signal (Ctrl+C in the terminal that started it) closes the dialog
    // as its Escape pod would. The wait is bounded: a signal that lands
    // between the test of the flag and the wait would not cut the wait
    // short, and the dialog would stay open until the next X event.
    while (window->shown() && !interruptingSignal())
        Fl::wait(0.2);
    if (window->shown())
        window->hide();
    Fl::event_dispatch(nullptr);
    // Let the server take the window down before anything else opens one.
    Fl::flush();
    std::setlocale(LC_CTYPE, savedLocale.c_str());
    return impl->result;
}

} // namespace platform
