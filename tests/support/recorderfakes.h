#pragma once

#include "recording/recorder.h"

// A recorder's captions and live list that go nowhere, for tests and benchmarks of the records
// alone.
class NoRecorderLabels final : public RecorderLabels
{
public:
    void setRecordCount(const QString&) override { }
    void setRecIndicator(const QString&) override { }
    void setFileTitle(const QString&) override { }
};

class NoLiveList final : public LiveListSink
{
public:
    void appendSample(const QString&) override { }
    bool dumpLiveList(const QString&) override { return true; }
};
