#pragma once

// Brings the program from its fresh globals to a signed-in user with the board
// on screen: the splash, the database check, the windows and the log-in.
class CClientInitialise
{
public:
    // Gives true when the board is up; false when initialisation failed (the
    // failure has been reported and the splash closed).
    bool Initialise(bool showSplash, bool doLogin);
};
