#pragma once

#include <QString>

#include <functional>

class QImage;
class QPainter;

// The file filter of a graph's "Save": PNG, SVG or PDF.
QString GraphFileFilter();

// Draws a graph onto a painter in the logical pixels of its window.
using GraphPainting = std::function<void(QPainter&)>;

// Saves a graph in the form its file name's extension names: ".png" the image as drawn, at the
// screen's pixel density; ".svg" and ".pdf" a page of the image's logical size on which paint
// draws the graph anew, its lines and texts kept as such (they scale, and the text can be
// selected); without paint the page holds the image. A name without an extension gets ".png". An
// existing file is replaced only once the new one is written whole. False with the reason for
// another extension, or with the path and the system's reason for a file that cannot be written
// ("<path> could not be written: <why>").
bool SaveGraph(const QImage& image, const GraphPainting& paint, QString path, QString* error);
