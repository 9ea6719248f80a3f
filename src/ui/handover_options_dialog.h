#pragma once
// The options of the I/O list, and of the report that carries it: the PLC addresses of the two
// areas, how the PLC numbers its words, a row per bit; for the report the commissioning results
// to put in.

#include <QDialog>

#include "ui/handover_export.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class CHandoverOptionsDlg : public QDialog {
    Q_OBJECT
public:
    // report: also ask for the probe and verify results.
    CHandoverOptionsDlg(const HandoverOptions& options, bool report, QWidget* parent = nullptr);

    HandoverOptions Options() const;

    QCheckBox* InputBaseBox() const { return m_inputOn; }
    QSpinBox* InputBase() const { return m_input; }
    QCheckBox* OutputBaseBox() const { return m_outputOn; }
    QSpinBox* OutputBase() const { return m_output; }
    QComboBox* Addressing() const { return m_addressing; }
    QCheckBox* PerBit() const { return m_bits; }
    QLineEdit* ProbeJson() const { return m_probe; }
    QLineEdit* VerifyJson() const { return m_verify; }

private:
    QLineEdit* AddResultRow(class QFormLayout* form, const QString& label, const QString& text);

    QCheckBox* m_inputOn = nullptr;
    QSpinBox* m_input = nullptr;
    QCheckBox* m_outputOn = nullptr;
    QSpinBox* m_output = nullptr;
    QComboBox* m_addressing = nullptr;
    QCheckBox* m_bits = nullptr;
    QLineEdit* m_probe = nullptr;
    QLineEdit* m_verify = nullptr;
};
