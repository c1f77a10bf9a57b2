#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class GridRows;

// Writes rows as grid-row lines (every cell followed by a tab, CR LF), after the caption row when
// withCaptionRow is set. The file is replaced only when the whole of it was written.
// progress(r) is called before grid row r is written (the caption row is row 0). On failure,
// error (when given) receives the system's reason.
bool WriteGridFile(const QString& path, const GridRows& rows, bool withCaptionRow,
    const std::function<void(qint64 row)>& progress = {}, QString* error = nullptr);
