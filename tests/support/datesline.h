#pragma once

#include "recording/recordingdates.h"

#include <QString>
#include <QStringList>

// A dates file as one line: "first=at: event@record=at[/seconds]; ...", where a clock step
// shows its seconds and an interval change its interval.
inline QString DatesLine(const RecordingDates& d)
{
    QStringList events;
    for (const DatesEvent& e : d.events) {
        QString text = QStringLiteral("%1@%2=%3")
                           .arg(DatesEventName(e.kind))
                           .arg(e.record)
                           .arg(OffsetDateTimeText(e.at));
        if (e.kind == DatesEvent::Kind::ClockStep)
            text += QStringLiteral("/%1").arg(e.seconds);
        if (e.kind == DatesEvent::Kind::IntervalChange)
            text += QStringLiteral("/%1").arg(e.interval);
        events << text;
    }
    return QStringLiteral("%1=%2: %3")
        .arg(d.firstRecord)
        .arg(OffsetDateTimeText(d.firstAt), events.join(QStringLiteral("; ")));
}
