// Opening the display. When Qt's platform cannot start (no DISPLAY, an X
// server that is not there, a platform that does not exist), Qt ends the
// program with an abort and advice to reinstall it. The game says instead,
// in one line, that it needs a graphical display, what was tried and the
// platform's own error (never a debug or info line), and
// exits with code 1: no abort, no core dump.
#pragma once

class DisplayGuard {
public:
    // From here on Qt's messages are held back, until Opened().
    DisplayGuard(int argc, char** argv);
    ~DisplayGuard();
    // The application stands: the held messages go out as usual.
    void Opened();

    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};
