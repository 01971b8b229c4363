#include "app/LauncherDialog.h"

#include "app/AppIcon.h"
#include "platform/DialogWindow.h"

#include <iterator>
#include <string>
#include <vector>

using platform::DialogControl;
using platform::DialogControlKind;

namespace {

// Dialog resource: 289 x 116 dialog units, controls in tab order. A combo's
// height is that of its dropped list.
const DialogControl kControls[] = {
    {kIdLaunch, DialogControlKind::DefaultButton, "Launch!", 83, 93, 50, 16},
    {kIdEscapePod, DialogControlKind::Button, "Escape pod", 160, 93, 50, 16},
    {kIdFullscreen, DialogControlKind::CheckBox, "&Fullscreen", 23, 21, 44, 12},
    {kIdResolution, DialogControlKind::ComboBox, "", 182, 21, 94, 88},
    {kIdAntialiasing, DialogControlKind::ComboBox, "", 182, 41, 94, 68},
    {kIdFiltering, DialogControlKind::ComboBox, "", 182, 61, 94, 48},
    {0, DialogControlKind::Label, "Resolution", 123, 20, 48, 11},
    {0, DialogControlKind::Label, "Texture filtering", 123, 62, 56, 11},
    {0, DialogControlKind::Label, "Antialiasing", 123, 41, 48, 11},
    {kIdMusic, DialogControlKind::CheckBox, "&Music", 23, 41, 44, 12},
    {kIdAtiShadows, DialogControlKind::CheckBox, "&Enable shadows on ATI", 23, 64, 92, 12},
};


const char* const kResolutions[] = {"640x480", "800x600", "1024x768"};
const char* const kAntialiasing[] = {"off", "2x", "4x"};
const char* const kFiltering[] = {"off", "2x", "4x", "8x"};

template <int N>
void fillCombo(platform::DialogWindow& dialog, int id, const char* const (&entries)[N], int selected)
{
    for (const char* entry : entries)
        dialog.addComboString(id, entry);
    dialog.setComboSelection(id, selected);
}

} // namespace

int LauncherDialog::doModal()
{
    // Which production Launch! plays: the one in the working folder or the
    // installed one look alike from the options alone.
    std::vector<DialogControl> controls(std::begin(kControls), std::end(kControls));
    const std::string plays = "Plays " + productionFolder;
    if (!productionFolder.empty())
        controls.push_back({0, DialogControlKind::Label, plays.c_str(), 23, 79, 253, 10});
    const platform::DialogTemplate launcherTemplate = {
        caption.c_str(), 289, 116, controls.data(), static_cast<int>(controls.size()),
    };
    platform::DialogWindow dialog(launcherTemplate);

    // Large and small window icon, drawn for this program.
    const int sizes[] = {48, 32, 16};
    std::vector<std::vector<unsigned char>> pixels;
    std::vector<platform::IconImage> icons;
    for (int size : sizes)
        pixels.push_back(drawAppIcon(size));
    for (size_t i = 0; i < pixels.size(); ++i)
        icons.push_back({sizes[i], sizes[i], pixels[i].data()});
    dialog.setIcons(icons.data(), static_cast<int>(icons.size()));

    // Data exchange into the controls, then the lists and their defaults,
    // which replace the combos' texts.
    dialog.setCheck(kIdFullscreen, fullscreen);
    dialog.setCheck(kIdMusic, music);
    dialog.setCheck(kIdAtiShadows, atiShadows);
    int resolution = 1;
    if (!defaultResolution.empty()) {
        resolution = -1;
        for (int i = 0; i < static_cast<int>(std::size(kResolutions)); ++i)
            if (defaultResolution == kResolutions[i])
                resolution = i;
    }
    if (resolution >= 0) {
        fillCombo(dialog, kIdResolution, kResolutions, resolution);
    } else {
        fillCombo(dialog, kIdResolution, kResolutions, 1);
        dialog.addComboString(kIdResolution, defaultResolution.c_str());
        dialog.setComboSelection(kIdResolution, static_cast<int>(std::size(kResolutions)));
    }
    fillCombo(dialog, kIdAntialiasing, kAntialiasing, 0);
    fillCombo(dialog, kIdFiltering, kFiltering, 0);

    const int result = dialog.runModal();
    if (result != kIdLaunch)
        return kIdEscapePod;

    // Data exchange out of the controls, only when the dialog was accepted.
    resolutionText = dialog.comboText(kIdResolution);
    antialiasingText = dialog.comboText(kIdAntialiasing);
    filteringText = dialog.comboText(kIdFiltering);
    fullscreen = dialog.check(kIdFullscreen);
    music = dialog.check(kIdMusic);
    atiShadows = dialog.check(kIdAtiShadows);
    return kIdLaunch;
}

LauncherChoices LauncherDialog::choices() const
{
    LauncherChoices c;
    c.resolution = resolutionText;
    c.antialiasing = antialiasingText;
    c.filtering = filteringText;
    c.fullscreen = fullscreen;
    c.music = music;
    c.atiShadows = atiShadows;
    return c;
}
