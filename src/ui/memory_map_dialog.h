#pragma once
// The "Conflict Detect" dialog: both memory areas with the bits every command uses.

class QWidget;
class CDeviceConfig;

// Shows the memory map of the configuration, modal over parent.
void ShowMemoryMapDialog(QWidget* parent, CDeviceConfig& root);
