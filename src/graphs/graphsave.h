#pragma once

#include <QString>

class QImage;

// The file filter of a graph's "Save": PNG, SVG or PDF.
QString GraphFileFilter();

// Saves a graph as drawn, in the form its file name's extension names: ".png" the image at the
// screen's pixel density, ".svg" and ".pdf" the image on a page of the graph's size. A name
// without an extension gets ".png". False with the reason for another extension or a file that
// cannot be written.
bool SaveGraphImage(const QImage& image, QString path, QString* error);
