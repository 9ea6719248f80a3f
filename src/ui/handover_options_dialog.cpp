#include "ui/handover_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// A base: off, or the PLC byte address of the area's first byte.
QHBoxLayout* BaseRow(QCheckBox*& on, QSpinBox*& base, const std::optional<std::int64_t>& value, QWidget* parent)
{
    on = new QCheckBox(parent);
    base = new QSpinBox(parent);
    base->setRange(0, 1 << 30);
    base->setValue(static_cast<int>(value.value_or(0)));
    base->setEnabled(value.has_value());
    on->setChecked(value.has_value());
    QObject::connect(on, &QCheckBox::toggled, base, &QWidget::setEnabled);
    auto* row = new QHBoxLayout;
    row->addWidget(on);
    row->addWidget(base, 1);
    return row;
}

} // namespace

CHandoverOptionsDlg::CHandoverOptionsDlg(const HandoverOptions& options, bool report, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(report ? tr("Report Options") : tr("I/O List Options"));
    auto* form = new QFormLayout(this);
    form->addRow(tr("PLC address of the first input byte:"), BaseRow(m_inputOn, m_input, options.list.inputBase, this));
    form->addRow(tr("PLC address of the first output byte:"), BaseRow(m_outputOn, m_output, options.list.outputBase, this));
    m_addressing = new QComboBox(this);
    m_addressing->addItem(tr("By byte: %IW256 is bytes 256 and 257"));
    m_addressing->addItem(tr("By word: %IW128 is bytes 256 and 257"));
    m_addressing->setCurrentIndex(options.list.addressing == PlcAddressing::Word ? 1 : 0);
    form->addRow(tr("PLC addressing:"), m_addressing);
    m_bits = new QCheckBox(tr("One row per bit of coils and inputs"), this);
    m_bits->setChecked(options.list.bits);
    form->addRow(m_bits);
    if (report) {
        m_probe = AddResultRow(form, tr("Probe result (gatewaycfg probe --json):"), options.probeJson);
        m_verify = AddResultRow(form, tr("Verify result (gatewaycfg verify --json):"), options.verifyJson);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QLineEdit* CHandoverOptionsDlg::AddResultRow(QFormLayout* form, const QString& label, const QString& text)
{
    auto* path = new QLineEdit(text, this);
    path->setPlaceholderText(tr("none"));
    auto* browse = new QPushButton(tr("Browse..."), this);
    connect(browse, &QPushButton::clicked, this, [this, path] {
        const QString picked =
            QFileDialog::getOpenFileName(this, tr("Open"), path->text(), tr("JSON File(*.json);;All Files(*)"));
        if (!picked.isEmpty())
            path->setText(picked);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(path, 1);
    row->addWidget(browse);
    form->addRow(label, row);
    return path;
}

HandoverOptions CHandoverOptionsDlg::Options() const
{
    HandoverOptions options;
    if (m_inputOn->isChecked())
        options.list.inputBase = m_input->value();
    if (m_outputOn->isChecked())
        options.list.outputBase = m_output->value();
    options.list.addressing = m_addressing->currentIndex() == 1 ? PlcAddressing::Word : PlcAddressing::Byte;
    options.list.bits = m_bits->isChecked();
    if (m_probe)
        options.probeJson = m_probe->text().trimmed();
    if (m_verify)
        options.verifyJson = m_verify->text().trimmed();
    return options;
}
