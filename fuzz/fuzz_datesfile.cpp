// A dates file read with arbitrary bytes, and records of any number and time dated by what it
// holds: nothing fails, what is read is written again the same, and every record's time lies
// within the days a report can hold, from the first record's day on.

#include "fuzzinput.h"

#include "recording/recordingdates.h"
#include "report/reportdates.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QByteArray json = TakeBytes(in, 4096);
    RecordingDates dates;
    QString error;
    const bool read = ParseDatesJson(json, &dates, &error);
    if (read) {
        // Written and read again, the dates give the same file.
        RecordingDates again;
        const QByteArray written = DatesJson(dates);
        if (!ParseDatesJson(written, &again, &error) || DatesJson(again) != written)
            std::abort();
    } else if (error.isEmpty()) {
        std::abort();
    }

    RecordDater dater;
    dater.beginSource(read ? &dates : nullptr);
    qint64 number = read ? dates.firstRecord : 1;
    while (in.remaining_bytes() > 0) {
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0)
            dater.beginSource(read && in.ConsumeBool() ? &dates : nullptr);
        number += in.ConsumeIntegralInRange<qint64>(0, 3);
        const int secondsOfDay = in.ConsumeIntegralInRange<int>(0, 86399);
        const RecordStamp stamp = dater.date(number, secondsOfDay);
        if (stamp.at < 0 || stamp.at % 86400 != secondsOfDay || stamp.at > 60LL * 366 * 86400)
            std::abort();
    }
    return 0;
}
