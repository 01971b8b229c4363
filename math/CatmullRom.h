#pragma once
// The Catmull-Rom spline through p1 (t = 0) and p2 (t = 1), shaped by the
// outer points p0 and p3. Used for the curve mode of AnimatedValue.

float catmullRom(float p0, float p1, float p2, float p3, float t);
