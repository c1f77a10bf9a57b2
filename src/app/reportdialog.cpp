#include "reportdialog.h"

#include "platform/prompts.h"
#include "recording/gridmodel.h"
#include "report/listreport.h"
#include "report/reportpages.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

namespace
{
QDoubleSpinBox* TenthsBox(const char* name, qint32 tenths, double low, double high, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(1);
    box->setRange(low, high);
    box->setSingleStep(0.5);
    box->setValue(tenths / 10.0);
    return box;
}

qint32 Tenths(const QDoubleSpinBox* box)
{
    return static_cast<qint32>(std::lround(box->value() * 10));
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}
} // namespace

ReportDialog::ReportDialog(const GridModel& rows, const ReportSettings& defaults,
    const QString& pdfName, Prompts& prompts, Viewer viewer, QWidget* parent)
    : QDialog(parent)
    , m_rows(&rows)
    , m_fahrenheit(defaults.fahrenheit)
    , m_prompts(prompts)
    , m_viewer(std::move(viewer))
{
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(QStringLiteral("Indoor-air report"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_title = new QLineEdit(defaults.title, this);
    m_title->setObjectName(QStringLiteral("TxtTitle"));
    m_date = new QDateEdit(defaults.firstDate, this);
    m_date->setObjectName(QStringLiteral("TxtDate"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    for (int i = 0; i < 3; ++i) {
        m_limits[i] = new QSpinBox(this);
        m_limits[i]->setObjectName(QStringLiteral("TxtLimit%1").arg(i + 1));
        m_limits[i]->setRange(1, 99999);
        m_limits[i]->setSingleStep(50);
        m_limits[i]->setValue(defaults.co2Limits[i]);
    }
    m_outdoor = new QSpinBox(this);
    m_outdoor->setObjectName(QStringLiteral("TxtOutdoor"));
    m_outdoor->setRange(0, 99999);
    m_outdoor->setValue(defaults.outdoorPpm);
    const double tempLow = m_fahrenheit ? -40 : -40;
    const double tempHigh = m_fahrenheit ? 212 : 100;
    m_temp[0] = TenthsBox("TxtTempLow", defaults.comfortTemp[0], tempLow, tempHigh, this);
    m_temp[1] = TenthsBox("TxtTempHigh", defaults.comfortTemp[1], tempLow, tempHigh, this);
    m_humidity[0] = TenthsBox("TxtRhLow", defaults.comfortHumidity[0], 0, 100, this);
    m_humidity[1] = TenthsBox("TxtRhHigh", defaults.comfortHumidity[1], 0, 100, this);
    m_pdf = new QLineEdit(pdfName, this);
    m_pdf->setObjectName(QStringLiteral("TxtPdf"));
    m_pdf->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("CmdBrowse"));
    browse->setToolTip(QStringLiteral("Choose the PDF's name"));
    connect(browse, &QPushButton::clicked, this, &ReportDialog::browse);

    const QString unit = TemperatureUnit(m_fahrenheit);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Title"), m_title);
    form->addRow(QStringLiteral("Date of the first record"), Row({ m_date }));
    form->addRow(
        QStringLiteral("CO2 limits (ppm)"), Row({ m_limits[0], m_limits[1], m_limits[2] }));
    form->addRow(QStringLiteral("Outdoor CO2 (ppm)"), Row({ m_outdoor }));
    form->addRow(
        QStringLiteral("Comfortable temperature (%1)").arg(unit), Row({ m_temp[0], m_temp[1] }));
    form->addRow(
        QStringLiteral("Comfortable humidity (%RH)"), Row({ m_humidity[0], m_humidity[1] }));
    auto* pdfRow = new QHBoxLayout;
    pdfRow->addWidget(m_pdf, 1);
    pdfRow->addWidget(browse);
    form->addRow(QStringLiteral("PDF"), pdfRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ReportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReportDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ReportSettings ReportDialog::settings() const
{
    ReportSettings s;
    s.title = m_title->text().trimmed();
    s.firstDate = m_date->date();
    for (int i = 0; i < 3; ++i)
        s.co2Limits[i] = m_limits[i]->value();
    s.outdoorPpm = m_outdoor->value();
    s.comfortTemp = { Tenths(m_temp[0]), Tenths(m_temp[1]) };
    s.comfortHumidity = { Tenths(m_humidity[0]), Tenths(m_humidity[1]) };
    s.fahrenheit = m_fahrenheit;
    return s;
}

QString ReportDialog::pdfName() const
{
    return m_pdf->text().trimmed();
}

void ReportDialog::browse()
{
    const QString path
        = m_prompts.saveFileName(this, QStringLiteral("PDF document (*.pdf);;All Files (*)"));
    if (!path.isEmpty())
        m_pdf->setText(path);
}

bool ReportDialog::writeReport()
{
    const ReportSettings s = settings();
    const auto refuse = [this](const QString& text) {
        m_prompts.message(this, Prompts::Icon::Critical, text);
        return false;
    };
    QString problem = SettingsProblem(s);
    if (!problem.isEmpty())
        return refuse(problem);
    if (s.title.isEmpty())
        return refuse(QStringLiteral("The report needs a title."));
    QString path = pdfName();
    if (path.isEmpty())
        return refuse(QStringLiteral("The report needs a file name."));
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!m_rows)
        return refuse(QStringLiteral("The list is closed: there is nothing to report."));
    ReportFigures figures;
    if (!ListReportFigures(m_rows->rows(), s, &figures, &problem))
        return refuse(problem);
    if (!WriteReportPdf(figures, path, &problem))
        return refuse(QStringLiteral("%1 could not be written: %2").arg(path, problem));
    // Without a viewer the report is saved all the same.
    if (m_viewer)
        m_viewer(path);
    return true;
}

void ReportDialog::accept()
{
    if (writeReport())
        QDialog::accept();
}
