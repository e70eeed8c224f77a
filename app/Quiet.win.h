#pragma once
// When a check nobody asked for must keep quiet: in the quiet hours of the settings, while
// notifications are paused, and while the system says the user must not be disturbed (busy,
// a full-screen program, a presentation, the system's own quiet time).

class TAppProperties;

bool KeepQuiet(const TAppProperties& settings);

// What the system says now; false where it cannot tell.
bool SystemSaysDoNotDisturb();
