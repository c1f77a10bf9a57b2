#include "reportdialog.h"

#include "desktop/prompts.h"
#include "lists/gridmodel.h"
#include "report/reportoutput.h"
#include "report/reportpages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
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

ReportDialog::ReportDialog(const GridModel& rows, const ListReportOffer& offer, Prompts& prompts,
    Viewer viewer, QWidget* parent)
    : QDialog(parent)
    , m_rows(&rows)
    , m_offer(offer)
    , m_fahrenheit(offer.defaults.fahrenheit)
    , m_prompts(prompts)
    , m_viewer(std::move(viewer))
{
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(QStringLiteral("Indoor-air report"));
    setAttribute(Qt::WA_DeleteOnClose);
    const ReportSettings& defaults = offer.defaults;
    const bool parts = !offer.parts.isEmpty();

    m_title = new QLineEdit(parts ? offer.partsTitle : defaults.title, this);
    m_title->setObjectName(QStringLiteral("TxtTitle"));
    m_date = new QDateEdit(parts ? offer.partsFirstDate : defaults.firstDate, this);
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
    m_pdf = new QLineEdit(parts ? offer.partsPdfName : offer.pdfName, this);
    m_pdf->setObjectName(QStringLiteral("TxtPdf"));
    m_pdf->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("CmdBrowse"));
    browse->setToolTip(QStringLiteral("Choose the PDF's name"));
    connect(browse, &QPushButton::clicked, this, &ReportDialog::browse);

    const QString unit = TemperatureUnit(m_fahrenheit);
    auto* form = new QFormLayout;
    if (parts) {
        m_allParts = new QCheckBox(
            QStringLiteral("All parts of this recording (%1 files)").arg(offer.parts.size()), this);
        m_allParts->setObjectName(QStringLiteral("ChkAllParts"));
        m_allParts->setChecked(true);
        m_parts = new QListWidget(this);
        m_parts->setObjectName(QStringLiteral("LstParts"));
        m_parts->setSelectionMode(QAbstractItemView::NoSelection);
        m_parts->setFocusPolicy(Qt::NoFocus);
        for (const QString& path : offer.parts) {
            auto* item = new QListWidgetItem(QFileInfo(path).fileName(), m_parts);
            item->setToolTip(path);
        }
        m_parts->setFixedHeight(m_parts->sizeHintForRow(0) * std::min<int>(4, offer.parts.size())
            + 2 * m_parts->frameWidth());
        connect(m_allParts, &QCheckBox::toggled, this, &ReportDialog::chooseParts);
        auto* choice = new QVBoxLayout;
        choice->addWidget(m_allParts);
        choice->addWidget(m_parts);
        form->addRow(QStringLiteral("Records"), choice);
    }
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
    // The date offered is walked back from the file's time unless the dates file gave it; one
    // the user has changed is given.
    const bool all = allParts();
    if (s.firstDate == (all ? m_offer.partsFirstDate : m_offer.defaults.firstDate))
        s.firstDateFrom
            = all ? ReportSettings::FirstDate::WalkedBack : m_offer.defaults.firstDateFrom;
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
    if (!path.isEmpty()) {
        m_pdf->setText(path);
        m_browsed = path;
    }
}

bool ReportDialog::allParts() const
{
    return m_allParts && m_allParts->isChecked();
}

void ReportDialog::chooseParts(bool all)
{
    m_parts->setEnabled(all);
    // A field the user has changed keeps what was typed.
    const QString titleWas = all ? m_offer.defaults.title : m_offer.partsTitle;
    if (m_title->text() == titleWas)
        m_title->setText(all ? m_offer.partsTitle : m_offer.defaults.title);
    const QDate dateWas = all ? m_offer.defaults.firstDate : m_offer.partsFirstDate;
    if (m_date->date() == dateWas)
        m_date->setDate(all ? m_offer.partsFirstDate : m_offer.defaults.firstDate);
    const QString pdfWas = all ? m_offer.pdfName : m_offer.partsPdfName;
    if (pdfName() == pdfWas)
        m_pdf->setText(all ? m_offer.partsPdfName : m_offer.pdfName);
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
    const bool all = allParts();
    QStringList inputs = all ? m_offer.parts : QStringList();
    if (!all && !m_offer.sourcePath.isEmpty())
        inputs.append(m_offer.sourcePath);
    problem = CheckReportPdfName(&path, inputs);
    if (!problem.isEmpty())
        return refuse(problem);
    ReportFigures figures;
    if (all) {
        if (!FilesReportFigures(m_offer.parts, s, &figures, &problem))
            return refuse(problem);
    } else {
        if (!m_rows)
            return refuse(QStringLiteral("The list is closed: there is nothing to report."));
        if (!ListReportFigures(
                m_rows->rows(), s, m_offer.sourceName, &figures, &problem, m_offer.sourcePath))
            return refuse(problem);
    }
    // The file dialog has asked about the name it gave; any other file is asked about here.
    if (path != m_browsed && QFileInfo::exists(path)
        && !m_prompts.ask(this,
            QStringLiteral("%1 already exists.\nDo you want to replace it?")
                .arg(QFileInfo(path).fileName())))
        return false;
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
