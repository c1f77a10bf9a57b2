#pragma once

#include "report/listreport.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class GridModel;
class Prompts;
class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

// The "Report" dialog of a list window: title, date of the first record, CO2 limits, outdoor
// CO2, comfort ranges and the PDF's name. OK writes the report of the list's rows as they are
// then and opens it in the desktop's viewer; a problem is told in a message and the dialog
// stays open. When the list's file has parts beside it, `ChkAllParts` (on at first) chooses the
// report of every part, read from the files, and `LstParts` lists them; the title, the date and
// the PDF's name follow that choice while they hold their defaults. An existing PDF is replaced
// only when the user says so, here or in the file dialog of the browse button.
class ReportDialog final : public QDialog
{
    Q_OBJECT
public:
    // Opens the PDF in a viewer; false where there is none (the report is saved all the same).
    using Viewer = std::function<bool(const QString& path)>;

    ReportDialog(const GridModel& rows, const ListReportOffer& offer, Prompts& prompts,
        Viewer viewer, QWidget* parent);

    // The settings as the fields give them.
    ReportSettings settings() const;
    QString pdfName() const;
    // OK: writes the PDF and opens it. False (dialog open) when something is wrong.
    bool writeReport();

    void accept() override;

private:
    void browse();
    void chooseParts(bool all);
    bool allParts() const;

    QPointer<const GridModel> m_rows;
    ListReportOffer m_offer;
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
    QCheckBox* m_allParts = nullptr;
    QListWidget* m_parts = nullptr;
    // The name the file dialog returned: it has asked before replacing that file.
    QString m_browsed;
};
