#pragma once

#include <QString>
#include <QStringList>

// Checks the name a report's PDF is to be written to, before anything is written, so that no
// recording is ever written over. A name without an extension gets ".pdf"; one with another
// extension is refused, and so is a file that is one of the report's data files (also under
// another name: through a link, or a second hard link) or that holds a data file (it starts
// with the column captions or with a record). Returns an empty text when the name may be used
// (path then holds the name completed), else why not.
QString CheckReportPdfName(QString* path, const QStringList& inputs);
// The same for another kind of output: wanted is its extension without the dot ("json"), kind
// names it in the message ("JSON").
QString CheckReportOutputName(
    QString* path, const QStringList& inputs, const QString& wanted, const QString& kind);

// The two names are one existing file.
bool IsSameFile(const QString& a, const QString& b);
