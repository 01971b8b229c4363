#pragma once
// The overlay's lines: demo time, frame times (last, average and worst over
// the last second) and every running effect on each layer with its id and
// class. Written into fixed buffers, so building them every frame never
// allocates.

#include "app/FrameTimeWindow.h"

class EffectManager;

constexpr int kOverlayLineChars = 64; // buffer size of one line, terminator included
constexpr int kOverlayMaxLines = 40;

// The class name of an effect as the overlay shows it; a wrapped effect is
// shown by its inner effect's name and a '*'. Points into static storage;
// the name is `length` characters long (not terminated there).
const char* overlayEffectName(const class Effect* effect, bool& wrapped, int& length);

// Fills at most maxLines lines (the last one says how many effects did not
// fit) and returns how many were written.
int buildOverlayText(int demoTimeMs, const FrameTimeWindow& times, const EffectManager& effects,
                     char (*lines)[kOverlayLineChars], int maxLines);

// Lays out a notice (lines separated by line feeds) in lines of at most
// `columns` characters (and at most kOverlayLineChars - 1), breaking at
// blanks where it can and within a word only when the word alone is too
// long; continued lines are indented by two blanks. Fills at most maxLines
// lines and returns how many were written.
int wrapOverlayNotice(const char* text, int columns, char (*lines)[kOverlayLineChars], int maxLines);
