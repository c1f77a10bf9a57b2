#pragma once

#include "acquisition/sessionstate.h"
#include "graphs/graphsstate.h"

// The state that lives for the whole run, held together here and handed to each window: the
// meter session's, and the graph windows' settings. Nothing of it is saved between runs.
struct ProgramState : SessionState {
    GraphsState Graphs;
};
