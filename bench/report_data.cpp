// Writes the benchmark recordings into a folder, to run nimbrel-report on them by hand:
//   bench_report_data DIR   ->  DIR/part.nblg (34,800 records), DIR/week*.nblg (604,800 in 18)
#include "reportdata.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_report_data DIR\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    WriteRecording(folder, QStringLiteral("part"), 34800);
    const QStringList week = WriteRecording(folder, QStringLiteral("week"), 604800);
    std::printf("%lld files\n", static_cast<long long>(week.size()) + 1);
    return 0;
}
