#pragma once
// Screenshots (F12): the demo's picture as PNG files numbered
// screenshot_0001.png, screenshot_0002.png, ... in the production folder,
// beside its data, never overwriting an earlier one.

#include <string>

// The first free name in `folder` ("." for the working directory); empty
// when all 9999 are taken.
std::string nextScreenshotPath(const std::string& folder);
