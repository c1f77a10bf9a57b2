#pragma once

#include <QObject>

// The logger download that a signature frame starts inside an acquisition tick. The tick
// hands over the link and waits for finished() before it ends.
class DownloadHook : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DownloadHook() override = default;
    virtual void begin(int setCount, quint32 writeAddress) = 0;

Q_SIGNALS:
    void finished();
};
