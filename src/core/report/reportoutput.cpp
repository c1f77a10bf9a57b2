#include "reportoutput.h"

#include "recordingfiles.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace
{
// The extension of a file's name: what follows its last ".", when that is a short word of
// letters and digits holding a letter ("run.nblg", "out.txt"; not "Office 2.14" nor "a. b").
QString Extension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name.size() - dot - 1 > 8)
        return {};
    const QString extension = name.mid(dot + 1);
    bool letter = false;
    for (const QChar c : extension) {
        if (c.unicode() > 0x7F || !c.isLetterOrNumber())
            return {};
        letter = letter || c.isLetter();
    }
    return letter ? extension : QString();
}
} // namespace

bool IsSameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (!first.exists() || !second.exists())
        return false;
    if (first.canonicalFilePath() == second.canonicalFilePath())
        return true;
#ifdef Q_OS_UNIX
    struct stat one {
    };
    struct stat two {
    };
    return ::stat(QFile::encodeName(a).constData(), &one) == 0
        && ::stat(QFile::encodeName(b).constData(), &two) == 0 && one.st_dev == two.st_dev
        && one.st_ino == two.st_ino;
#else
    return false;
#endif
}

QString CheckReportPdfName(QString* path, const QStringList& inputs)
{
    return CheckReportOutputName(path, inputs, QStringLiteral("pdf"), QStringLiteral("a PDF"));
}

QString CheckReportOutputName(
    QString* path, const QStringList& inputs, const QString& wanted, const QString& kind)
{
    const QString extension = Extension(*path);
    if (extension.isEmpty())
        *path += QLatin1Char('.') + wanted;
    else if (extension.compare(wanted, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1: a report is %2, its name must end in \".%3\", not \".%4\"")
            .arg(*path, kind, wanted, extension);
    for (const QString& input : inputs) {
        if (IsSameFile(*path, input))
            return QStringLiteral("%1 is the data file %2 of this report: it is not written over")
                .arg(*path, input);
    }
    if (QFileInfo(*path).isFile()) {
        const DataFileStart start = ReadDataFileStart(*path);
        if (start.header || start.firstRecord >= 0)
            return QStringLiteral("%1 holds a data file: it is not written over").arg(*path);
    }
    return {};
}
