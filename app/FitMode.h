#pragma once
// How the demo's picture reaches the window (--fit): Auto scales an
// off-screen picture of the demo's resolution into the window whenever their
// sizes differ, On always does, Off draws straight into the window.
enum class FitMode { Auto, On, Off };
