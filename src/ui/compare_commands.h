#pragma once
// Compare with Module and Compare with File: the open configuration beside what the module holds
// or another file, in the differences dialog. A double-click there shows the node in the tree and
// its row in the grid, and moves the dialog off that row. The configuration itself stays as it is.

#include <QObject>

#include "model/wire_layout.h"

class CConfigTreePane;
class CDeviceConfig;
class CGatewayView;
class CLinePane;
class CSerialPortDlg;
class CUserPrompt;
class QWidget;
struct Difference;

class CCompareCommands : public QObject {
    Q_OBJECT
public:
    // The dialogs open over window; the port dialog's frames go to the line pane.
    CCompareCommands(CDeviceConfig& root, CUserPrompt& prompt, CConfigTreePane& tree, CGatewayView& view,
                     CLinePane& line, QWidget* window);

    // Reads the module into memory through the port dialog and shows the differences.
    void CompareWithModule();
    // Asks for a file and shows the differences; a file that cannot be read is reported.
    void CompareWithFile();
    // After a download with "Verify after download": the differences the module read back
    // showed, when there are any.
    void ShowVerifiedDifferences(const CSerialPortDlg& dialog);

private:
    void ShowDifferences(const CDeviceConfig& other, bool moduleScope, HardwareVersion version, const QString& otherSide);
    // Shows a difference's node in the tree and its row in the grid.
    void SelectDifference(const Difference& difference);

    CDeviceConfig& m_root;
    CUserPrompt& m_prompt;
    CConfigTreePane& m_tree;
    CGatewayView& m_view;
    CLinePane& m_line;
    QWidget* m_window;
};
