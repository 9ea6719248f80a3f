#pragma once
// "Select Command": the fourteen Modbus functions; a double click on one asks for a command of
// that function. The dialog stays open so that several commands can be added in a row; Esc or
// the caption's close button ends it.

#include <QDialog>

class QListWidget;

class CSelectCommandDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectCommandDlg(QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }

signals:
    // A function was double-clicked; its function index 0-13.
    void functionChosen(int functionIndex);

private:
    QListWidget* m_list;
};
