#pragma once
// The download/upload dialog: the user picks a port and starts one run.

#include "link/transfer_run.h"

class QWidget;
class CDeviceConfig;

// Shows the dialog for one direction, modal over parent. True when an upload replaced the
// configuration, so that the tree and the grid must be rebuilt.
bool RunTransferDialog(QWidget* parent, TransferDirection direction, CDeviceConfig& root);
