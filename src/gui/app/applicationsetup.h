#pragma once

// The program's name, its desktop entry and its icon, set on the application object before
// any window is made. Title bars show the window captions exactly as they are.
void SetUpNimbrelApplication();
