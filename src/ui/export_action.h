#pragma once
// File > "Export XLS": asks for a workbook path, writes the workbook, offers to open it.

class QWidget;
class CDeviceConfig;

void RunExportCommand(QWidget* parent, const CDeviceConfig& root);
