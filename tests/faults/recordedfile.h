#pragma once

#include <QFile>
#include <QList>
#include <QString>

// What a recorder file holds, read strictly: the header line, then whole records (CR LF, ten
// fields, a number first). `problem` says what was wrong when `whole` is false.
struct RecordedFile {
    bool whole = false;
    QString problem;
    QList<qint64> numbers;
    qint64 bytes = 0;

    static RecordedFile read(const QString& path)
    {
        RecordedFile result;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.problem = QStringLiteral("cannot be read");
            return result;
        }
        const QByteArray all = file.readAll();
        result.bytes = all.size();
        if (!all.endsWith("\r\n")) {
            result.problem = QStringLiteral("does not end with a whole line");
            return result;
        }
        QList<QByteArray> lines = all.split('\n');
        lines.removeLast();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray line = lines.at(i);
            if (!line.endsWith('\r') || line.count('\r') != 1) {
                result.problem = QStringLiteral("line %1 has no CR LF of its own").arg(i + 1);
                return result;
            }
            line.chop(1);
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() != 10) {
                result.problem
                    = QStringLiteral("line %1 has %2 fields").arg(i + 1).arg(fields.size());
                return result;
            }
            if (i == 0) {
                if (fields.at(0) != "No.s") {
                    result.problem = QStringLiteral("no header line");
                    return result;
                }
                continue;
            }
            bool ok = false;
            result.numbers.append(fields.at(0).toLongLong(&ok));
            if (!ok) {
                result.problem = QStringLiteral("line %1 has no record number").arg(i + 1);
                return result;
            }
        }
        result.whole = true;
        return result;
    }

    // The records are numbered 1, 2, 3, ... with none missing or repeated.
    bool numberedFromOne() const
    {
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            if (numbers.at(i) != i + 1)
                return false;
        }
        return true;
    }
};
