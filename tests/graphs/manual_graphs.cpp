// A look at the two graph windows by hand: a stand-in main window, a live reading that wanders
// (with a stretch of "----" now and then), and a list of 300 records for the file graph.
// Usage: manual_graphs [--print-after SECONDS]  (prints the real-time graph, then quits)
//        manual_graphs --dialogs                (also opens both range dialogs)
//        manual_graphs --records N              (a list of N records, overloads among them)
//        manual_graphs --range FROM TO          (the file graph of records FROM to TO)
//        manual_graphs --dated                  (the records dated from 8 Dec 2026, as a dates
//                                               file beside the list's file dates them)

#include "desktop/printer.h"
#include "desktop/prompts.h"
#include "graphs/graphsstate.h"
#include "graphs/graphwindows.h"
#include "graphs/listplot1.h"
#include "graphs/plotrange.h"
#include "graphs/realtime24.h"
#include "graphs/realtimerange.h"
#include "lists/gridmodel.h"
#include "meter/currentreading.h"
#include "meter/numbertext.h"
#include "platform/systemclock.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>
#include <QTimer>

#include <cmath>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int printIndex = args.indexOf(QStringLiteral("--print-after"));

    SystemClock clock;
    WidgetPrompts prompts;
    SystemPrinterProvider printers;
    CurrentReading reading;
    GraphsState state;

    QLabel panel(QStringLiteral("Panel stand-in"));
    panel.setGeometry(0, 0, 300, 200);
    panel.show();

    GraphWindows windows(state, reading, clock, prompts, printers, &panel);

    int step = 0;
    QTimer wander;
    QObject::connect(&wander, &QTimer::timeout, [&] {
        ++step;
        const double t = step / 20.0;
        const bool silent = step % 120 > 100;
        reading.TempC = TaggedValue::number(22 + 6 * std::sin(t));
        reading.HumidityPct = silent ? TaggedValue::marker(Marker::NoReading)
                                     : TaggedValue::number(45 + 20 * std::sin(t / 2));
        reading.Co2Ppm = TaggedValue::number(900 + 700 * std::sin(t / 3));
        reading.DewC = silent ? TaggedValue::marker(Marker::NoReading)
                              : TaggedValue::number(10 + 3 * std::sin(t));
        reading.WetC = silent ? TaggedValue::marker(Marker::NoReading)
                              : TaggedValue::number(15 + 4 * std::cos(t));
    });
    wander.start(150);

    const int recordsIndex = args.indexOf(QStringLiteral("--records"));
    const int records = recordsIndex >= 0 && recordsIndex + 1 < args.size()
        ? args.at(recordsIndex + 1).toInt()
        : 300;
    // Held as the list windows hold it.
    GridModel list;
    for (int r = 0; r < records; ++r) {
        const double t = r * 300.0 / records / 15.0;
        // A stretch of overloads at four fifths of the list, as a list holds them.
        const bool over = r * 5 / records == 4 && r % (records / 5 + 1) < records / 25;
        const QStringList cells = { QString::number(r + 1),
            QTime(8, 8, 10).addSecs(30 * r).toString(QStringLiteral("HH:mm:ss")),
            QString::number(qRound(800 + 600 * std::sin(t / 2))),
            over ? QStringLiteral("OL.0") : OneDecimalText(PlainText(21 + 5 * std::sin(t))),
            OneDecimalText(PlainText(9 + 2 * std::cos(t))),
            OneDecimalText(PlainText(14 + 3 * std::sin(t + 1))),
            r % 97 == 50 ? QStringLiteral("----")
                         : OneDecimalText(PlainText(50 + 25 * std::cos(t / 3))),
            QString(), QString(), QString() };
        list.appendRow(cells);
    }

    windows.openRealTimeGraph();
    RecordDays days;
    if (args.contains(QStringLiteral("--dated"))) {
        // A record every 30 s from 08:08:10: a day begins every 2880 records from the first
        // midnight on.
        const qint64 first = (86400 - (8 * 3600 + 8 * 60 + 10) + 29) / 30;
        days.starts.emplace_back(0, QDate(2026, 12, 8));
        for (qint64 r = first, d = 1; r < records; r += 2880, ++d)
            days.starts.emplace_back(r, QDate(2026, 12, 8).addDays(d));
    }
    windows.openFileGraph(&list, true, days);
    // Side by side for a screenshot: the file graph below the real-time graph.
    QTimer::singleShot(0, [&] {
        if (windows.fileGraph() && windows.realTimeGraph())
            windows.fileGraph()->move(windows.realTimeGraph()->x(),
                windows.realTimeGraph()->frameGeometry().bottom() + 1);
    });

    const int rangeIndex = args.indexOf(QStringLiteral("--range"));
    if (rangeIndex >= 0 && rangeIndex + 2 < args.size()) {
        // Through the range dialog, as a person would.
        QTimer::singleShot(100, [&] {
            windows.fileGraph()->toolbarButton(QStringLiteral("Limit"))->trigger();
            QWidget* dialog = windows.plotRange();
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtFrom"))
                ->setText(args.at(rangeIndex + 1));
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtTo"))
                ->setText(args.at(rangeIndex + 2));
            dialog->findChild<QPushButton*>(QStringLiteral("CmdOK"))->click();
            QTimer::singleShot(0, [&] {
                if (windows.fileGraph() && windows.realTimeGraph())
                    windows.fileGraph()->move(windows.realTimeGraph()->x(),
                        windows.realTimeGraph()->frameGeometry().bottom() + 1);
            });
        });
    }

    if (args.contains(QStringLiteral("--dialogs"))) {
        QTimer::singleShot(100, [&] {
            windows.realTimeGraph()->toolbarButton(QStringLiteral("Limit"))->trigger();
            windows.fileGraph()->toolbarButton(QStringLiteral("Limit"))->trigger();
            windows.realTimeRange()->move(760, 0);
            windows.plotRange()->move(760, 300);
        });
    }

    if (printIndex >= 0 && printIndex + 1 < args.size()) {
        QTimer::singleShot(static_cast<int>(args.at(printIndex + 1).toDouble() * 1000), [&] {
            if (windows.realTimeGraph())
                windows.realTimeGraph()->print();
            app.quit();
        });
    }
    return app.exec();
}
