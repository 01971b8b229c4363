#pragma once
// The signal codes an effect class understands, declared once per class
// beside its signal(): the production checker tests a script's signals
// against them, and the authors' effect table is made from them, so the list
// a person reads and the list the engine obeys cannot part.

struct SignalInfo {
    int code;
    const char* arguments; // the argument words, in order ("" for none)
    const char* purpose;
};

struct SignalTable {
    const SignalInfo* entries;
    int count;
    // The class whose signal() this one passes every signal on to (the base
    // effect's own codes, or a scene player's); null when it passes none on.
    const SignalTable* inherited;
    // Hands codes it does not know to another effect chosen at run time, so
    // any code may be meant for that one.
    bool forwardsAny;

    // The entry for `code`, here or inherited; null when none.
    const SignalInfo* find(int code) const
    {
        for (int i = 0; i < count; ++i)
            if (entries[i].code == code)
                return &entries[i];
        return inherited ? inherited->find(code) : nullptr;
    }
    bool handles(int code) const { return forwardsAny || find(code) != nullptr; }
};

template <int N>
constexpr SignalTable signalTable(const SignalInfo (&entries)[N], const SignalTable* inherited,
                                  bool forwardsAny = false)
{
    return {entries, N, inherited, forwardsAny};
}
