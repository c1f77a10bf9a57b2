#pragma once

#include <QIcon>
#include <QString>

// The image of a toolbar button, by its key ("As", "Stop", "Open", "List", "Graph", "Sample",
// "CF", "Alarm", "Print", "Plot"; "Save" shows the "As" image). The desktop's icon theme gives
// it where the theme has a fitting icon; otherwise a small picture drawn at start-up, so every
// button has an image on every system. An unknown key gives a null icon.
QIcon ToolbarIcon(const QString& key);
