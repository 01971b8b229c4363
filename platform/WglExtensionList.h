#pragma once
#include <string>

// What the GL driver offers that the emulated WGL names stand on.
struct WglCapabilities {
    bool framebufferObjects = false; // FBOs replace pbuffers and pixel formats
    bool multisampleVisuals = false;
    bool depthAttachments = false;   // depth textures can be attached to an FBO
};

// Builds the blank-separated WGL extension string from the capabilities,
// dropping every name that appears as a word of `hidden` (blank-separated).
std::string buildWglExtensionList(const WglCapabilities& caps, const char* hidden);
