#pragma once

#include "listwindow.h"

// "File List": the rows of one data file, opened by the main toolbar's "Open".
class FileList final : public ListWindow
{
    Q_OBJECT
public:
    explicit FileList(const ListContext& context, QWidget* parent = nullptr);
};
