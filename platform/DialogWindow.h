#pragma once
// Modal dialogs built from a dialog template, on FLTK. This stands in for the
// resource-driven dialogs of the original: the application describes the
// controls in dialog units, fills and reads them by control id, and runs the
// dialog until a button closes it.
//
// Dialog units are those of the 8-point dialog font: 1.5 pixels across and
// 1.625 pixels down. A combo box's height in the template is the height of
// its dropped list; the edit field itself is one line high.
//
// Keyboard: Enter presses the focused push button, or the default button when
// the focus is elsewhere; Escape and the window's close box end the dialog
// with kDialogCancel; Tab walks the controls in template order; "&" in a
// control's text marks its accelerator letter. In a combo box, Up and Down
// step through the list and Alt+Down or F4 drops it.
#include <string>

namespace platform {

enum class DialogControlKind {
    DefaultButton, // push button pressed by Enter
    Button,
    CheckBox,      // two-state, toggles itself
    ComboBox,      // drop-down list with an editable field
    Label,         // static text, left-aligned
};

// One control of a template. Position and size in dialog units.
struct DialogControl {
    int id; // control id; push buttons end the dialog with their id
    DialogControlKind kind;
    const char* text;
    int x, y, width, height;
};

struct DialogTemplate {
    const char* title;
    int width, height;              // client area, dialog units
    const DialogControl* controls;  // in tab order
    int controlCount;
};

// Icon pixels: width x height, 4 bytes (R, G, B, A) per pixel, top row first.
struct IconImage {
    int width;
    int height;
    const unsigned char* rgba;
};

constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;

// Pixel size of a length in dialog units (rounded to the nearest pixel).
int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);

// One dialog built from its template; the controls exist from construction,
// so they can be filled before runModal and read after it.
class DialogWindow {
public:
    explicit DialogWindow(const DialogTemplate& dialogTemplate);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // The window's icons, large and small; the pixels are copied.
    void setIcons(const IconImage* icons, int count);

    void addComboString(int id, const char* text);
    // Selects a list entry: the edit field shows its text.
    void setComboSelection(int id, int index);
    // The text of the combo's edit field (typed or picked).
    std::string comboText(int id) const;

    void setCheck(int id, int checked);
    int check(int id) const;

    // Shows the dialog and runs it until it is closed. Returns the id of the
    // push button that closed it, or kDialogCancel for Escape and the close box.
    int runModal();

private:
    struct Impl;
    Impl* impl;
};

} // namespace platform
