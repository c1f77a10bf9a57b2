#pragma once

#include "report/reportsettings.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class GridModel;
class Prompts;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// The "Report" dialog of a list window: title, date of the first record, CO2 limits, outdoor
// CO2, comfort ranges and the PDF's name. OK writes the report of the list's rows as they are
// then and opens it in the desktop's viewer; a problem is told in a message and the dialog
// stays open.
class ReportDialog final : public QDialog
{
    Q_OBJECT
public:
    // Opens the PDF in a viewer; false where there is none (the report is saved all the same).
    using Viewer = std::function<bool(const QString& path)>;

    ReportDialog(const GridModel& rows, const ReportSettings& defaults, const QString& pdfName,
        Prompts& prompts, Viewer viewer, QWidget* parent);

    // The settings as the fields give them.
    ReportSettings settings() const;
    QString pdfName() const;
    // OK: writes the PDF and opens it. False (dialog open) when something is wrong.
    bool writeReport();

    void accept() override;

private:
    void browse();

    QPointer<const GridModel> m_rows;
    bool m_fahrenheit;
    Prompts& m_prompts;
    Viewer m_viewer;
    QLineEdit* m_title = nullptr;
    QDateEdit* m_date = nullptr;
    QSpinBox* m_limits[3] = {};
    QSpinBox* m_outdoor = nullptr;
    QDoubleSpinBox* m_temp[2] = {};
    QDoubleSpinBox* m_humidity[2] = {};
    QLineEdit* m_pdf = nullptr;
};
