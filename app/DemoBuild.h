#pragma once
// A full build of the demo, at the start of a run and again on every reload
// or seek back: every effect deleted, every managed texture and scene freed,
// and the factory's effects made afresh, loading their data again.

class DemoEngine;
class EffectFactory;

void buildDemoEffects(DemoEngine& engine, EffectFactory& factory, bool atiShadows);
