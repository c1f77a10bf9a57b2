#pragma once

#include "gridfile.h"

#include <QString>

class Clock;
class GridRows;
class Prompts;
class QWidget;
struct RecordingState;

// The filter of the data-file dialogs.
QString DataFileFilter();

// Asks for a data file to write. A chosen name (with ".nblg" added when it has no extension and
// the data-file filter was chosen) sets DataFileName, and FileChosen when the name has a title; a
// cancel leaves FileChosen False, so no caller goes on with an older name.
void ShowSaveDialog(QWidget* parent, Prompts& prompts, RecordingState& state);

// The list's "Save": writes the grid's data rows to DataFileName, counting "5Records Completed"
// in the window caption, then restores the caption and uses FileChosen up. False on a file error.
bool SaveGridToFile(QWidget& window, const GridRows& rows, RecordingState& state, Clock& clock);
