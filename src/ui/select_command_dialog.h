#pragma once
// "Select Command": the fourteen Modbus functions, those the module cannot send greyed; a double
// click or Return on one asks for a command of that function. The dialog stays open so that several commands can be added in a row; Esc or
// the caption's close button ends it.

#include <QDialog>

class QListWidget;
class QListWidgetItem;

class CSelectCommandDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectCommandDlg(QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }

signals:
    // A function was double-clicked or Return was pressed on it; its function index 0-13.
    void functionChosen(int functionIndex);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(QListWidgetItem* entry);

    QListWidget* m_list;
};
