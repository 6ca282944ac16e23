#pragma once
// Program Cofrex: start-up of the locker.

// Initialises the application, creates the lock window and then the Help, About and
// Copyright windows (hidden), and runs the message loop until the lock window closes.
void RunCofrex();
